#include "ui/TimeColorTab.h"

#include "store/Store.h"
#include "ui/ColorWell.h"
#include "ui/ReadableGroup.h"
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
    : QWidget(parent)
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
        for (PairedColorRule& rule : *s.pairedRules) {
            if (rule.id == id)
                change(rule);
        }
    });
}

ColorWell* TimeColorTab::well(const QString& name, const QString& objectName, const std::string& hex,
    std::function<void(const std::string&)> commit, QWidget* parent)
{
    auto* control = new ColorWell(name, parent);
    control->setObjectName(objectName);
    control->setHex(hex);
    connect(control, &ColorWell::colorChosen, this, std::move(commit));
    return control;
}

ReadableGroup* TimeColorTab::linkGroup()
{
    auto* group = new ReadableGroup(QString(), this);
    group->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("점과 남은 시간에 같은 색상 사용"), QStringLiteral("linked-colors"), linked(),
        [this](bool on) { edit([&](Settings& s) { s.linkedTimeColors = on; }); }, group));
    group->content()->addWidget(SettingsRows::caption(
        QStringLiteral("점 색상을 둘 다 적용합니다. 끄면 이전 남은 시간 색상으로 돌아갑니다."), group));
    return group;
}

ReadableGroup* TimeColorTab::rulesGroup()
{
    const Settings& settings = store_.db().settings;
    auto* group = new ReadableGroup(QStringLiteral("시간 조건"), this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    grid->addWidget(SettingsRows::caption(QStringLiteral("점"), group), 0, 2);
    grid->addWidget(SettingsRows::caption(QStringLiteral("남은 시간"), group), 0, 3);
    const auto rules = settings.pairedRules.value_or(std::vector<PairedColorRule>{});
    for (std::size_t i = 0; i < rules.size(); ++i)
        addRuleRow(*grid, static_cast<int>(i), rules[i], group);
    grid->setColumnStretch(5, 1);
    group->content()->addLayout(grid);
    group->content()->addLayout(otherColorsRow(group));
    group->content()->addLayout(ruleActions(group));
    group->content()->addWidget(SettingsRows::caption(QStringLiteral("여러 조건에 해당하면 가장 짧은 시간 기준을 "
                                                                     "적용합니다. 괄호와 구분선은 기본 글자색을 "
                                                                     "유지합니다."),
        group));
    return group;
}

// Row index + 1 of the grid, under the column captions: hours, "시간 이하", dot, time, remove.
void TimeColorTab::addRuleRow(QGridLayout& grid, int index, const PairedColorRule& rule, QWidget* group)
{
    const int line = index + 1;
    const QString named = SettingsRows::number(rule.hours);
    // Each row is named by its hours, so a screen reader tells the rows and their buttons apart.
    const QString ruleName = QStringLiteral("%1시간 이하 조건").arg(named);
    auto* hours = new QLineEdit(named, group);
    hours->setObjectName(QStringLiteral("rule-hours-%1").arg(index));
    hours->setAccessibleName(ruleName);
    hours->setFixedWidth(72);
    hours->setAlignment(Qt::AlignRight);
    connect(hours, &QLineEdit::editingFinished, this, [this, hours, ruleID = rule.id, old = rule.hours] {
        const std::optional<double> typed = hoursOf(hours->text());
        if (!typed) {
            hours->setText(SettingsRows::number(old));
            return;
        }
        if (*typed != old)
            editRule(ruleID, [&](PairedColorRule& r) { r.hours = *typed; });
    });
    grid.addWidget(hours, line, 0);
    grid.addWidget(new QLabel(QStringLiteral("시간 이하"), group), line, 1);

    grid.addWidget(
        well(
            QStringLiteral("%1시간 이하 점 색상").arg(named), QStringLiteral("rule-dot-%1").arg(index), rule.dotHex,
            [this, ruleID = rule.id](
                const std::string& hex) { editRule(ruleID, [&](PairedColorRule& r) { r.dotHex = hex; }); },
            group),
        line, 2);
    ColorWell* time = well(
        QStringLiteral("%1시간 이하 남은 시간 색상").arg(named), QStringLiteral("rule-time-%1").arg(index),
        rule.timeHex,
        [this, ruleID = rule.id](
            const std::string& hex) { editRule(ruleID, [&](PairedColorRule& r) { r.timeHex = hex; }); },
        group);
    // While linked the time text takes the dot colour; its own stays stored for later.
    time->setEnabled(!linked());
    grid.addWidget(time, line, 3);

    auto* remove = new QToolButton(group);
    remove->setObjectName(QStringLiteral("rule-remove-%1").arg(index));
    remove->setText(QStringLiteral("⊖"));
    remove->setToolTip(QStringLiteral("이 조건 삭제"));
    remove->setAccessibleName(ruleName + QStringLiteral(" 삭제"));
    connect(remove, &QToolButton::clicked, this, [this, ruleID = rule.id] {
        edit([&](Settings& s) {
            if (s.pairedRules)
                std::erase_if(*s.pairedRules, [&](const PairedColorRule& r) { return r.id == ruleID; });
        });
    });
    grid.addWidget(remove, line, 4);
}

// "그 외": one colour while linked, the dot's and the time's otherwise.
QLayout* TimeColorTab::otherColorsRow(QWidget* group)
{
    const Settings& settings = store_.db().settings;
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("그 외"), group));
    const std::string otherDot = settings.pairedOtherDot.value_or("FFFFFF");
    auto setOtherDot = [this](const std::string& hex) { edit([&](Settings& s) { s.pairedOtherDot = hex; }); };
    const QString dotName = linked() ? QStringLiteral("공통 기본 색상") : QStringLiteral("점 기본 색상");
    row->addWidget(new QLabel(dotName, group));
    row->addWidget(well(dotName, QStringLiteral("other-dot"), otherDot, setOtherDot, group));
    if (!linked()) {
        row->addWidget(new QLabel(QStringLiteral("남은 시간 기본 색상"), group));
        row->addWidget(well(
            QStringLiteral("남은 시간 기본 색상"), QStringLiteral("other-time"),
            settings.pairedOtherTime.value_or("FFFFFF"),
            [this](const std::string& hex) { edit([&](Settings& s) { s.pairedOtherTime = hex; }); }, group));
    }
    row->addStretch(1);
    return row;
}

QLayout* TimeColorTab::ruleActions(QWidget* group)
{
    auto* row = new QHBoxLayout;
    row->addWidget(SettingsRows::button(
        QStringLiteral("조건 추가"), QStringLiteral("add-rule"),
        [this] {
            edit([](Settings& s) {
                if (!s.pairedRules)
                    s.pairedRules.emplace();
                s.pairedRules->push_back(PairedColorRule{makeUuid(), 72, "FFFFFF", "FFFFFF"});
            });
        },
        group));
    row->addWidget(SettingsRows::button(
        QStringLiteral("초기화"), QStringLiteral("reset-rules"),
        [this] {
            edit([](Settings& s) {
                s.pairedRules = std::vector<PairedColorRule>{
                    {makeUuid(), 12, "EF4444", "FFFFFF"}, {makeUuid(), 36, "EAB308", "FFFFFF"}};
                s.pairedOtherDot = "22C55E";
                s.pairedOtherTime = "FFFFFF";
            });
        },
        group));
    row->addStretch(1);
    return row;
}

} // namespace vantory
