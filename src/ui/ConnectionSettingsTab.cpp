#include "ui/ConnectionSettingsTab.h"

#include "store/Store.h"
#include "ui/Autostart.h"
#include "ui/ReadableGroup.h"
#include "ui/SchoolSitesGroup.h"
#include "ui/SettingsChoice.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantory {

namespace {

SettingsChoice::Options syncOptions()
{
    SettingsChoice::Options options;
    for (const int minutes : {15, 30, 60, 120, 240, 720, 1440}) {
        options.emplace_back(
            minutes < 60 ? QStringLiteral("%1분").arg(minutes) : QStringLiteral("%1시간").arg(minutes / 60),
            std::to_string(minutes));
    }
    return options;
}

void call(const Store::Action& action)
{
    if (action)
        action();
}

// A site's status as a notice, in the warning colour while it needs a sign-in or failed.
QLabel* statusNotice(const std::string& status, const std::string& reason, bool needsLogin, QWidget* parent)
{
    return SettingsRows::notice(
        QString::fromStdString(withReason(status, reason)), needsLogin || !reason.empty(), parent);
}

} // namespace

ConnectionSettingsTab::ConnectionSettingsTab(
    Store& store, SettingsViewState& view, Autostart& autostart, std::function<void()> viewChanged, QWidget* parent)
    : QWidget(parent)
    , store_(store)
{
    auto* layout = SettingsRows::tabColumn(this);
    layout->addWidget(new SchoolSitesGroup(store, view, viewChanged, parent));
    layout->addWidget(syncGroup());
    layout->addWidget(coursesGroup());
    layout->addWidget(canvasGroup());
    layout->addWidget(moreGroup(view, autostart, viewChanged));
    layout->addStretch(1);
}

ReadableGroup* ConnectionSettingsTab::syncGroup()
{
    const Sites& sites = Sites::current();
    auto* brevane = new ReadableGroup(
        sites.uses(Site::assessment) ? QStringLiteral("BrevaneLearn") : QStringLiteral("동기화"), this);
    auto* buttons = new QHBoxLayout;
    if (sites.uses(Site::assessment))
        buttons->addWidget(SettingsRows::button(
            QStringLiteral("BrevaneLearn 로그인…"), QStringLiteral("connect"), [this] { call(store_.connect); },
            brevane));
    QPushButton* refresh = SettingsRows::button(
        QStringLiteral("지금 새로고침"), QStringLiteral("sync"), [this] { call(store_.sync); }, brevane);
    refresh->setEnabled(!store_.syncing());
    buttons->addWidget(refresh);
    buttons->addStretch(1);
    brevane->content()->addLayout(buttons);
    if (sites.uses(Site::assessment))
        brevane->content()->addWidget(
            statusNotice(store_.status(), store_.statusReason(), store_.needsLogin(), brevane));
    brevane->content()->addWidget(SettingsRows::caption(QString::fromStdString(store_.lastUpdateText()), brevane));
    auto* interval = new SettingsChoice(QStringLiteral("자동 동기화"), syncOptions(), brevane);
    interval->picker()->setObjectName(QStringLiteral("sync-minutes"));
    interval->setSelection(std::to_string(store_.db().settings.syncMinutes));
    connect(interval, &SettingsChoice::chosen, this, [this](const std::string& value) {
        store_.update([&](Database& db) { db.settings.syncMinutes = std::stoll(value); });
    });
    brevane->content()->addWidget(interval);
    return brevane;
}

ReadableGroup* ConnectionSettingsTab::coursesGroup()
{
    auto* courses = new ReadableGroup(QStringLiteral("과목"), this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addWidget(SettingsRows::caption(QStringLiteral("과목"), courses), 0, 0);
    grid->addWidget(SettingsRows::caption(QStringLiteral("표시 이름"), courses), 0, 1);
    int line = 1;
    for (const Course& course : store_.db().settings.courses) {
        const QString id = QString::fromStdString(course.id);
        const QString shown = QString::fromStdString(course.fullName.empty() ? course.id : course.fullName);
        QCheckBox* enabled = SettingsRows::toggle(
            shown, QStringLiteral("course-enabled-") + id, course.enabled,
            [this, courseID = course.id](bool on) {
                store_.update([&](Database& db) {
                    for (Course& c : db.settings.courses) {
                        if (c.id == courseID)
                            c.enabled = on;
                    }
                });
            },
            courses);
        enabled->setToolTip(shown);
        auto* name = new QLineEdit(QString::fromStdString(course.name), courses);
        name->setObjectName(QStringLiteral("course-name-") + id);
        name->setAccessibleName(QStringLiteral("%1 표시 이름").arg(shown));
        name->setFixedWidth(160);
        connect(name, &QLineEdit::editingFinished, this, [this, name, courseID = course.id] {
            const std::string text = name->text().trimmed().toStdString();
            const Course* current = store_.db().settings.course(courseID);
            if (!current)
                return;
            // A blank name would leave the status line starting with " | "; keep the old one.
            if (text.empty()) {
                name->setText(QString::fromStdString(current->name));
                return;
            }
            if (current->name == text)
                return;
            store_.update([&](Database& db) {
                for (Course& c : db.settings.courses) {
                    if (c.id == courseID)
                        c.name = text;
                }
            });
        });
        grid->addWidget(enabled, line, 0);
        grid->addWidget(name, line, 1);
        ++line;
        const auto error = store_.errors().find(course.id);
        const auto notice = store_.courseNotices().find(course.id);
        if (error != store_.errors().end())
            grid->addWidget(
                SettingsRows::notice(QString::fromStdString(error->second), true, courses), line++, 0, 1, 2);
        else if (notice != store_.courseNotices().end())
            grid->addWidget(
                SettingsRows::notice(QString::fromStdString(notice->second), false, courses), line++, 0, 1, 2);
    }
    grid->setColumnStretch(0, 1);
    courses->content()->addLayout(grid);
    courses->content()->addWidget(SettingsRows::caption(QStringLiteral("홈페이지의 모든 과목을 자동으로 가져옵니다. 새 "
                                                                       "과목은 기본으로 포함하고 캘린더 색상을 "
                                                                       "무작위로 배정합니다."),
        courses));
    return courses;
}

ReadableGroup* ConnectionSettingsTab::canvasGroup()
{
    auto* canvas = new ReadableGroup(QStringLiteral("Canvas"), this);
    canvas->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("Canvas 자동 동기화"), QStringLiteral("canvas-enabled"),
        store_.db().settings.canvasEnabled.value_or(true),
        [this](bool on) {
            store_.update([&](Database& db) { db.settings.canvasEnabled = on; });
            if (on)
                call(store_.sync);
        },
        canvas));
    canvas->content()->addWidget(
        statusNotice(store_.canvasStatus(), store_.canvasStatusReason(), store_.canvasNeedsLogin(), canvas));
    auto* canvasRow = new QHBoxLayout;
    canvasRow->addWidget(SettingsRows::button(
        QStringLiteral("Canvas 로그인…"), QStringLiteral("connect-canvas"), [this] { call(store_.connectCanvas); },
        canvas));
    canvasRow->addStretch(1);
    canvas->content()->addLayout(canvasRow);
    canvas->content()->addWidget(
        SettingsRows::caption(QStringLiteral("과제 마감과 제출 상태를 함께 가져옵니다. Canvas에서 "
                                             "제출한 과제는 자동으로 완료 표시합니다."),
            canvas));
    canvas->setVisible(Sites::current().uses(Site::canvas));
    return canvas;
}

ReadableGroup* ConnectionSettingsTab::moreGroup(
    SettingsViewState& view, Autostart& autostart, const std::function<void()>& viewChanged)
{
    auto* more = new ReadableGroup(QString(), this);
    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(SettingsRows::button(
        QStringLiteral("iPhone 캘린더 내보내기 (.ics)…"), QStringLiteral("export-calendar"),
        [this] { call(store_.exportCalendar); }, more));
    exportRow->addStretch(1);
    more->content()->addLayout(exportRow);
    more->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("로그인 시 Vantory 자동 실행"), QStringLiteral("launch-at-login"), view.loginEnabled,
        [&view, &autostart, viewChanged](bool on) {
            view.launchError = autostart.setEnabled(on);
            view.loginEnabled = autostart.enabled();
            viewChanged();
        },
        more));
    if (view.launchError)
        more->content()->addWidget(SettingsRows::notice(*view.launchError, true, more));
    more->content()->addWidget(
        SettingsRows::caption(QStringLiteral("자동 실행은 앱을 고정된 위치에 둔 뒤 켜 주세요. 앱이 "
                                             "실행 중일 때 매시간 동기화하고, 잠자기에서 "
                                             "돌아오면 밀린 조회를 한 번 실행합니다."),
            more));
    return more;
}

} // namespace vantory
