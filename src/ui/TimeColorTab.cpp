// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TimeColorTab.h"

#include "store/Store.h"
#include "ui/AccessibleText.h"
#include "ui/ColorWell.h"
#include "ui/ReadableGroup.h"
#include "ui/Scale.h"
#include "ui/SettingsRows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantory {

namespace {

// The hours typed in the user's locale or with a decimal point; none for anything else.
std::optional<double> hoursOf(const QString& text)
{
    bool ok = false;
    double hours = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        hours = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(hours) : std::nullopt;
}

} // namespace

TimeColorTab::TimeColorTab(Store& store, QWidget* parent)
    : SettingsTab(parent)
    , store_(store)
{
    auto* layout = SettingsRows::tabColumn(this);
    layout->addWidget(linkGroup());
    layout->addWidget(rulesGroup());
    layout->addStretch(1);
}

bool TimeColorTab::linked() const
{
    return store_.db().settings.linkedTimeColors.value_or(false);
}

const PairedColorRule* TimeColorTab::rule(std::size_t index) const
{
    const auto& rules = store_.db().settings.pairedRules;
    return rules && index < rules->size() ? &(*rules)[index] : nullptr;
}

void TimeColorTab::edit(const std::function<void(Settings&)>& change)
{
    SettingsRows::updateSettings(store_, change);
}

// Each edit finds its rule by id, so a rule removed meanwhile is left alone.
void TimeColorTab::editRule(const std::string& id, const std::function<void(PairedColorRule&)>& change)
{
    edit([&](Settings& s) {
        if (!s.pairedRules)
            return;
        for (PairedColorRule& each : *s.pairedRules) {
            if (each.id == id)
                change(each);
        }
    });
}

ColorWell* TimeColorTab::well(
    const QString& objectName, std::function<void(const std::string&)> commit, QWidget* parent)
{
    auto* control = new ColorWell(QString(), parent);
    control->setObjectName(objectName);
    connect(control, &ColorWell::colorChosen, this, std::move(commit));
    return control;
}

ReadableGroup* TimeColorTab::linkGroup()
{
    auto* group = new ReadableGroup(QString(), this);
    QCheckBox* link = SettingsRows::toggle(
        tr("점과 남은 시간에 같은 색상 사용"), QStringLiteral("linked-colors"), false,
        [this](bool on) { edit([&](Settings& s) { s.linkedTimeColors = on; }); }, group);
    group->content()->addWidget(link);
    group->content()->addWidget(
        SettingsRows::caption(tr("점 색상을 둘 다 적용합니다. 끄면 이전 남은 시간 색상으로 돌아갑니다."), group));
    follow([this, link] { SettingsRows::showChecked(link, linked()); });
    return group;
}

ReadableGroup* TimeColorTab::rulesGroup()
{
    auto* group = new ReadableGroup(tr("시간 조건"), this);
    // One row per rule, by position: a removed rule's row goes, and its focus stays on the row now
    // in its place.
    auto* rules = new SettingsPart(
        [this] {
            const auto& stored = store_.db().settings.pairedRules;
            return QStringList{QString::number(stored ? stored->size() : 0)};
        },
        [this](SettingsPart& part) {
            auto* grid = new QGridLayout(part.content());
            grid->setContentsMargins(0, 0, 0, 0);
            grid->setHorizontalSpacing(12);
            grid->setVerticalSpacing(4);
            grid->addWidget(SettingsRows::caption(tr("점"), part.content()), 0, 2);
            grid->addWidget(SettingsRows::caption(tr("남은 시간"), part.content()), 0, 3);
            const auto& stored = store_.db().settings.pairedRules;
            for (std::size_t i = 0; stored && i < stored->size(); ++i)
                addRuleRow(part, *grid, i);
            grid->setColumnStretch(5, 1);
        },
        group);
    group->content()->addWidget(rules);
    follow([rules] { rules->refresh(); });
    group->content()->addLayout(otherColorsRow(group));
    group->content()->addWidget(ruleActions(group));
    group->content()->addWidget(SettingsRows::caption(tr("여러 조건에 해당하면 가장 짧은 시간 기준을 "
                                                         "적용합니다. 괄호와 구분선은 기본 글자색을 "
                                                         "유지합니다."),
        group));
    return group;
}

// Row index + 1 of the grid, under the column captions: hours, "시간 이하", dot, time, remove.
// The row edits the rule it shows, found by id when the edit is made.
void TimeColorTab::addRuleRow(SettingsPart& part, QGridLayout& grid, std::size_t index)
{
    QWidget* parent = part.content();
    const int line = static_cast<int>(index) + 1;
    const auto idOf = [this, index] { return rule(index) ? rule(index)->id : std::string(); };
    auto* hours = new QLineEdit(parent);
    hours->setObjectName(QStringLiteral("rule-hours-%1").arg(index));
    hours->setFixedWidth(Scale::length(hours, 72));
    hours->setAlignment(Qt::AlignRight);
    connect(hours, &QLineEdit::editingFinished, this, [this, hours, index] {
        hours->setModified(false);
        const PairedColorRule* shown = rule(index);
        if (!shown)
            return;
        const std::optional<double> typed = hoursOf(hours->text());
        if (!typed) {
            hours->setText(SettingsRows::number(shown->hours));
            return;
        }
        if (*typed != shown->hours)
            editRule(shown->id, [&](PairedColorRule& r) { r.hours = *typed; });
    });
    grid.addWidget(hours, line, 0);
    auto* unit = new QLabel(tr("시간 이하"), parent);
    unit->setBuddy(hours);
    grid.addWidget(unit, line, 1);
    ColorWell* dot = well(
        QStringLiteral("rule-dot-%1").arg(index),
        [this, idOf](const std::string& hex) { editRule(idOf(), [&](PairedColorRule& r) { r.dotHex = hex; }); },
        parent);
    grid.addWidget(dot, line, 2);
    ColorWell* time = well(
        QStringLiteral("rule-time-%1").arg(index),
        [this, idOf](const std::string& hex) { editRule(idOf(), [&](PairedColorRule& r) { r.timeHex = hex; }); },
        parent);
    grid.addWidget(time, line, 3);
    auto* remove = new QToolButton(parent);
    remove->setObjectName(QStringLiteral("rule-remove-%1").arg(index));
    remove->setText(QStringLiteral("⊖"));
    remove->setToolTip(tr("이 조건 삭제"));
    connect(remove, &QToolButton::clicked, this, [this, idOf] {
        edit([id = idOf()](Settings& s) {
            if (s.pairedRules)
                std::erase_if(*s.pairedRules, [&](const PairedColorRule& r) { return r.id == id; });
        });
    });
    grid.addWidget(remove, line, 4);
    part.follow([this, index, hours, dot, time, remove] {
        const PairedColorRule& shown = *rule(index);
        const QString named = SettingsRows::number(shown.hours);
        // Each row is named by its hours, so a screen reader tells the rows and their buttons apart.
        const QString ruleName = tr("%1시간 이하 조건").arg(named);
        SettingsRows::showText(hours, named);
        AccessibleText::setName(hours, ruleName);
        AccessibleText::setName(dot, tr("%1시간 이하 점 색상").arg(named));
        dot->setHex(shown.dotHex);
        AccessibleText::setName(time, tr("%1시간 이하 남은 시간 색상").arg(named));
        time->setHex(shown.timeHex);
        // While linked the time text takes the dot colour; its own stays stored for later.
        time->setEnabled(!linked());
        AccessibleText::setName(remove, tr("%1시간 이하 조건 삭제").arg(named));
    });
}

// "그 외": one colour while linked, the dot's and the time's otherwise.
QLayout* TimeColorTab::otherColorsRow(QWidget* group)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(new QLabel(tr("그 외"), group));
    auto* dotLabel = new QLabel(group);
    ColorWell* dot = well(
        QStringLiteral("other-dot"),
        [this](const std::string& hex) { edit([&](Settings& s) { s.pairedOtherDot = hex; }); }, group);
    dotLabel->setBuddy(dot);
    row->addWidget(dotLabel);
    row->addWidget(dot);
    auto* timeLabel = new QLabel(tr("남은 시간 기본 색상"), group);
    ColorWell* time = well(
        QStringLiteral("other-time"),
        [this](const std::string& hex) { edit([&](Settings& s) { s.pairedOtherTime = hex; }); }, group);
    AccessibleText::setName(time, timeLabel->text());
    timeLabel->setBuddy(time);
    row->addWidget(timeLabel);
    row->addWidget(time);
    row->addStretch(1);
    follow([this, dotLabel, dot, timeLabel, time] {
        const Settings& settings = store_.db().settings;
        const QString dotName = linked() ? tr("공통 기본 색상") : tr("점 기본 색상");
        dotLabel->setText(dotName);
        AccessibleText::setName(dot, dotName);
        dot->setHex(settings.pairedOtherDot.value_or("FFFFFF"));
        timeLabel->setVisible(!linked());
        time->setVisible(!linked());
        time->setHex(settings.pairedOtherTime.value_or("FFFFFF"));
    });
    return row;
}

QWidget* TimeColorTab::ruleActions(QWidget* group)
{
    auto* actions = new QWidget(group);
    auto* row = new QHBoxLayout(actions);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(SettingsRows::button(
        tr("조건 추가"), QStringLiteral("add-rule"),
        [this] {
            edit([](Settings& s) {
                if (!s.pairedRules)
                    s.pairedRules.emplace();
                s.pairedRules->push_back(PairedColorRule{makeUuid(), 72, "FFFFFF", "FFFFFF"});
            });
        },
        actions));
    row->addWidget(SettingsRows::button(
        tr("초기화"), QStringLiteral("reset-rules"),
        [this] {
            edit([](Settings& s) {
                s.pairedRules = std::vector<PairedColorRule>{
                    {makeUuid(), 12, "EF4444", "FFFFFF"}, {makeUuid(), 36, "EAB308", "FFFFFF"}};
                s.pairedOtherDot = "22C55E";
                s.pairedOtherTime = "FFFFFF";
            });
        },
        actions));
    row->addStretch(1);
    return actions;
}

} // namespace vantory
