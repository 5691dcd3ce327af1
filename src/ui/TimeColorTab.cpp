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
    const Settings& settings = store.db().settings;
    const bool linked = settings.linkedTimeColors.value_or(false);
    auto* layout = SettingsRows::tabColumn(this);
    auto edit = [this](const std::function<void(Settings&)>& change) { SettingsRows::updateSettings(store_, change); };
    // Each edit finds its rule by id, so a rule removed meanwhile is left alone.
    auto editRule = [edit](std::string id, std::function<void(PairedColorRule&)> change) {
        edit([&](Settings& s) {
            if (!s.pairedRules)
                return;
            for (PairedColorRule& rule : *s.pairedRules) {
                if (rule.id == id)
                    change(rule);
            }
        });
    };
    auto well = [this](const QString& name, const QString& objectName, const std::string& hex,
                    std::function<void(const std::string&)> commit) {
        auto* control = new ColorWell(name, this);
        control->setObjectName(objectName);
        control->setHex(hex);
        connect(control, &ColorWell::colorChosen, this, commit);
        return control;
    };

    auto* link = new ReadableGroup(QString(), this);
    link->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("점과 남은 시간에 같은 색상 사용"), QStringLiteral("linked-colors"), linked,
        [edit](bool on) { edit([&](Settings& s) { s.linkedTimeColors = on; }); }, link));
    link->content()->addWidget(SettingsRows::caption(
        QStringLiteral("점 색상을 둘 다 적용합니다. 끄면 이전 남은 시간 색상으로 돌아갑니다."), link));
    layout->addWidget(link);

    auto* table = new ReadableGroup(QStringLiteral("시간 조건"), this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    grid->addWidget(SettingsRows::caption(QStringLiteral("점"), table), 0, 2);
    grid->addWidget(SettingsRows::caption(QStringLiteral("남은 시간"), table), 0, 3);
    int line = 1;
    for (const PairedColorRule& rule : settings.pairedRules.value_or(std::vector<PairedColorRule>{})) {
        const QString id = QString::fromStdString(rule.id);
        auto* hours = new QLineEdit(SettingsRows::number(rule.hours), table);
        hours->setObjectName(QStringLiteral("rule-hours-%1").arg(line - 1));
        hours->setAccessibleName(QStringLiteral("시간 이하"));
        hours->setFixedWidth(72);
        hours->setAlignment(Qt::AlignRight);
        connect(hours, &QLineEdit::editingFinished, this, [editRule, hours, ruleID = rule.id, old = rule.hours] {
            const std::optional<double> typed = hoursOf(hours->text());
            if (!typed) {
                hours->setText(SettingsRows::number(old));
                return;
            }
            if (*typed != old)
                editRule(ruleID, [&](PairedColorRule& r) { r.hours = *typed; });
        });
        grid->addWidget(hours, line, 0);
        grid->addWidget(new QLabel(QStringLiteral("시간 이하"), table), line, 1);
        grid->addWidget(well(QStringLiteral("%1시간 이하 점 색상").arg(SettingsRows::number(rule.hours)),
                            QStringLiteral("rule-dot-%1").arg(line - 1), rule.dotHex,
                            [editRule, ruleID = rule.id](const std::string& hex) {
                                editRule(ruleID, [&](PairedColorRule& r) { r.dotHex = hex; });
                            }),
            line, 2);
        ColorWell* time = well(QStringLiteral("%1시간 이하 남은 시간 색상").arg(SettingsRows::number(rule.hours)),
            QStringLiteral("rule-time-%1").arg(line - 1), rule.timeHex,
            [editRule, ruleID = rule.id](
                const std::string& hex) { editRule(ruleID, [&](PairedColorRule& r) { r.timeHex = hex; }); });
        // While linked the time text takes the dot colour; its own stays stored for later.
        time->setEnabled(!linked);
        grid->addWidget(time, line, 3);
        auto* remove = new QToolButton(table);
        remove->setObjectName(QStringLiteral("rule-remove-%1").arg(line - 1));
        remove->setText(QStringLiteral("⊖"));
        remove->setToolTip(QStringLiteral("이 조건 삭제"));
        remove->setAccessibleName(QStringLiteral("이 조건 삭제"));
        connect(remove, &QToolButton::clicked, this, [edit, ruleID = rule.id] {
            edit([&](Settings& s) {
                if (s.pairedRules)
                    std::erase_if(*s.pairedRules, [&](const PairedColorRule& r) { return r.id == ruleID; });
            });
        });
        grid->addWidget(remove, line, 4);
        ++line;
    }
    grid->setColumnStretch(5, 1);
    table->content()->addLayout(grid);

    auto* other = new QHBoxLayout;
    other->setSpacing(12);
    other->addWidget(new QLabel(QStringLiteral("그 외"), table));
    const std::string otherDot = settings.pairedOtherDot.value_or("FFFFFF");
    auto setOtherDot = [edit](const std::string& hex) { edit([&](Settings& s) { s.pairedOtherDot = hex; }); };
    if (linked) {
        other->addWidget(new QLabel(QStringLiteral("공통 기본 색상"), table));
        other->addWidget(well(QStringLiteral("공통 기본 색상"), QStringLiteral("other-dot"), otherDot, setOtherDot));
    } else {
        other->addWidget(new QLabel(QStringLiteral("점 기본 색상"), table));
        other->addWidget(well(QStringLiteral("점 기본 색상"), QStringLiteral("other-dot"), otherDot, setOtherDot));
        other->addWidget(new QLabel(QStringLiteral("남은 시간 기본 색상"), table));
        other->addWidget(well(QStringLiteral("남은 시간 기본 색상"), QStringLiteral("other-time"),
            settings.pairedOtherTime.value_or("FFFFFF"),
            [edit](const std::string& hex) { edit([&](Settings& s) { s.pairedOtherTime = hex; }); }));
    }
    other->addStretch(1);
    table->content()->addLayout(other);

    auto* actions = new QHBoxLayout;
    actions->addWidget(SettingsRows::button(
        QStringLiteral("조건 추가"), QStringLiteral("add-rule"),
        [edit] {
            edit([](Settings& s) {
                if (!s.pairedRules)
                    s.pairedRules.emplace();
                s.pairedRules->push_back(PairedColorRule{makeUuid(), 72, "FFFFFF", "FFFFFF"});
            });
        },
        table));
    actions->addWidget(SettingsRows::button(
        QStringLiteral("초기화"), QStringLiteral("reset-rules"),
        [edit] {
            edit([](Settings& s) {
                s.pairedRules = std::vector<PairedColorRule>{
                    {makeUuid(), 12, "EF4444", "FFFFFF"}, {makeUuid(), 36, "EAB308", "FFFFFF"}};
                s.pairedOtherDot = "22C55E";
                s.pairedOtherTime = "FFFFFF";
            });
        },
        table));
    actions->addStretch(1);
    table->content()->addLayout(actions);
    table->content()->addWidget(SettingsRows::caption(QStringLiteral("여러 조건에 해당하면 가장 짧은 시간 기준을 "
                                                                     "적용합니다. 괄호와 구분선은 기본 글자색을 "
                                                                     "유지합니다."),
        table));
    layout->addWidget(table);
    layout->addStretch(1);
}

} // namespace vantory
