// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ConnectionSettingsTab.h"

#include "store/Store.h"
#include "ui/AccessibleText.h"
#include "ui/Autostart.h"
#include "ui/CalendarServerGroup.h"
#include "ui/ReadableGroup.h"
#include "ui/Scale.h"
#include "ui/SchoolSitesGroup.h"
#include "ui/SettingsChoice.h"
#include "ui/SettingsRows.h"
#include "ui/SettingsScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
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
        // A plain variable: lupdate drops a translate() whose count is an expression.
        const int hours = minutes / 60;
        options.emplace_back(minutes < 60
                ? QCoreApplication::translate("vantory::ConnectionSettingsTab", "%n분", nullptr, minutes)
                : QCoreApplication::translate("vantory::ConnectionSettingsTab", "%n시간", nullptr, hours),
            std::to_string(minutes));
    }
    return options;
}

void call(const Store::Action& action)
{
    if (action)
        action();
}

// A site's status, in the warning colour while it needs a sign-in or failed.
void showStatus(QLabel* notice, const std::string& status, const std::string& reason, bool needsLogin)
{
    SettingsRows::setNotice(notice, QString::fromStdString(withReason(status, reason)), needsLogin || !reason.empty());
}

void editCourse(Store& store, const std::string& courseID, const std::function<void(Course&)>& change)
{
    store.update([&](Database& db) {
        for (Course& course : db.settings.courses) {
            if (course.id == courseID)
                change(course);
        }
    });
}

} // namespace

ConnectionSettingsTab::ConnectionSettingsTab(
    Store& store, SettingsViewState& view, Autostart& autostart, std::function<void()> viewChanged, QWidget* parent)
    : SettingsTab(parent)
    , store_(store)
{
    auto* layout = SettingsRows::tabColumn(this);
    layout->addWidget(new SchoolSitesGroup(store, view, viewChanged, *this));
    layout->addWidget(syncGroup());
    layout->addWidget(coursesGroup());
    layout->addWidget(canvasGroup());
    layout->addWidget(new CalendarServerGroup(store, viewChanged, *this));
    layout->addWidget(moreGroup(view, autostart, viewChanged));
    layout->addStretch(1);
}

ReadableGroup* ConnectionSettingsTab::syncGroup()
{
    auto* group = new ReadableGroup(QString(), this);
    auto* buttons = new QHBoxLayout;
    QPushButton* login = SettingsRows::button(
        tr("BrevaneLearn 로그인…"), QStringLiteral("connect"), [this] { call(store_.connect); }, group);
    buttons->addWidget(login);
    QPushButton* refresh = SettingsRows::button(
        tr("지금 새로고침"), QStringLiteral("sync"), [this] { call(store_.sync); }, group);
    buttons->addWidget(refresh);
    buttons->addStretch(1);
    group->content()->addLayout(buttons);
    QLabel* status = SettingsRows::notice(QString(), false, group);
    group->content()->addWidget(status);
    QLabel* lastUpdate = SettingsRows::caption(QString(), group);
    group->content()->addWidget(lastUpdate);
    auto* interval = new SettingsChoice(tr("자동 동기화"), syncOptions(), group);
    interval->picker()->setObjectName(QStringLiteral("sync-minutes"));
    connect(interval, &SettingsChoice::chosen, this, [this](const std::string& value) {
        store_.update([&](Database& db) { db.settings.syncMinutes = std::stoll(value); });
    });
    group->content()->addWidget(interval);
    follow([this, group, login, refresh, status, lastUpdate, interval] {
        const bool assessment = Sites::current().uses(Site::assessment);
        group->setTitle(assessment ? QStringLiteral("BrevaneLearn") : tr("동기화"));
        login->setVisible(assessment);
        refresh->setEnabled(!store_.syncing());
        if (assessment)
            showStatus(status, store_.status(), store_.statusReason(), store_.needsLogin());
        else
            SettingsRows::setNotice(status, QString(), false);
        lastUpdate->setText(QString::fromStdString(store_.lastUpdateText()));
        interval->setSelection(std::to_string(store_.db().settings.syncMinutes));
    });
    return group;
}

ReadableGroup* ConnectionSettingsTab::coursesGroup()
{
    auto* group = new ReadableGroup(tr("과목"), this);
    auto* courses = new SettingsPart(
        [this] { return SettingsRows::courseIds(store_); }, [this](SettingsPart& part) { courseRows(part); }, group);
    group->content()->addWidget(courses);
    group->content()->addWidget(SettingsRows::caption(tr("홈페이지의 모든 과목을 자동으로 가져옵니다. 새 "
                                                         "과목은 기본으로 포함하고 캘린더 색상을 "
                                                         "무작위로 배정합니다."),
        group));
    follow([courses] { courses->refresh(); });
    return group;
}

// Each course's switch (named by the course), its shown name and its last notice or error.
void ConnectionSettingsTab::courseRows(SettingsPart& part)
{
    QWidget* parent = part.content();
    auto* grid = new QGridLayout(parent);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->addWidget(SettingsRows::caption(tr("과목"), parent), 0, 0);
    grid->addWidget(SettingsRows::caption(tr("표시 이름"), parent), 0, 1);
    int line = 1;
    for (const Course& course : store_.db().settings.courses) {
        const QString id = QString::fromStdString(course.id);
        const std::string courseID = course.id;
        QCheckBox* enabled = SettingsRows::toggle(
            QString(), QStringLiteral("course-enabled-") + id, course.enabled,
            [this, courseID](bool on) { editCourse(store_, courseID, [&](Course& c) { c.enabled = on; }); }, parent);
        auto* name = new QLineEdit(parent);
        name->setObjectName(QStringLiteral("course-name-") + id);
        name->setMinimumWidth(Scale::length(name, 160));
        connect(name, &QLineEdit::editingFinished, this, [this, name, courseID] {
            name->setModified(false);
            const std::string text = name->text().trimmed().toStdString();
            const Course* current = store_.db().settings.course(courseID);
            if (!current)
                return;
            // A blank name would leave the status line starting with " | "; keep the old one.
            if (text.empty()) {
                name->setText(QString::fromStdString(current->name));
                return;
            }
            if (current->name != text)
                editCourse(store_, courseID, [&](Course& c) { c.name = text; });
        });
        QLabel* notice = SettingsRows::notice(QString(), false, parent);
        grid->addWidget(enabled, line, 0);
        grid->addWidget(name, line, 1);
        grid->addWidget(notice, line + 1, 0, 1, 2);
        line += 2;
        part.follow([this, courseID, enabled, name, notice] {
            const Course* course = store_.db().settings.course(courseID);
            const QString shown = QString::fromStdString(course->fullName.empty() ? course->id : course->fullName);
            enabled->setText(shown);
            AccessibleText::setName(enabled, shown);
            SettingsRows::showChecked(enabled, course->enabled);
            SettingsRows::showText(name, QString::fromStdString(course->name));
            AccessibleText::setName(name, tr("%1 표시 이름").arg(shown));
            const auto error = store_.errors().find(courseID);
            const auto note = store_.courseNotices().find(courseID);
            if (error != store_.errors().end())
                SettingsRows::setNotice(notice, QString::fromStdString(error->second), true);
            else
                SettingsRows::setNotice(notice,
                    note == store_.courseNotices().end() ? QString() : QString::fromStdString(note->second), false);
        });
    }
    grid->setColumnStretch(0, 1);
}

ReadableGroup* ConnectionSettingsTab::canvasGroup()
{
    auto* canvas = new ReadableGroup(QStringLiteral("Canvas"), this);
    QCheckBox* enabled = SettingsRows::toggle(
        tr("Canvas 자동 동기화"), QStringLiteral("canvas-enabled"), false,
        [this](bool on) {
            store_.update([&](Database& db) { db.settings.canvasEnabled = on; });
            if (on)
                call(store_.sync);
        },
        canvas);
    canvas->content()->addWidget(enabled);
    QLabel* status = SettingsRows::notice(QString(), false, canvas);
    canvas->content()->addWidget(status);
    auto* canvasRow = new QHBoxLayout;
    canvasRow->addWidget(SettingsRows::button(
        tr("Canvas 로그인…"), QStringLiteral("connect-canvas"), [this] { call(store_.connectCanvas); }, canvas));
    canvasRow->addStretch(1);
    canvas->content()->addLayout(canvasRow);
    canvas->content()->addWidget(SettingsRows::caption(tr("과제 마감과 제출 상태를 함께 가져옵니다. Canvas에서 "
                                                          "제출한 과제는 자동으로 완료 표시합니다."),
        canvas));
    follow([this, canvas, enabled, status] {
        canvas->setVisible(Sites::current().uses(Site::canvas));
        SettingsRows::showChecked(enabled, store_.db().settings.canvasEnabled.value_or(true));
        showStatus(status, store_.canvasStatus(), store_.canvasStatusReason(), store_.canvasNeedsLogin());
    });
    return canvas;
}

ReadableGroup* ConnectionSettingsTab::moreGroup(
    SettingsViewState& view, Autostart& autostart, const std::function<void()>& viewChanged)
{
    auto* more = new ReadableGroup(QString(), this);
    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(SettingsRows::button(
        tr("iPhone 캘린더 내보내기 (.ics)…"), QStringLiteral("export-calendar"),
        [this] { call(store_.exportCalendar); }, more));
    exportRow->addStretch(1);
    more->content()->addLayout(exportRow);
    QCheckBox* launch = SettingsRows::toggle(
        tr("로그인 시 Vantory 자동 실행"), QStringLiteral("launch-at-login"), false,
        [&view, &autostart, viewChanged](bool on) {
            view.launchError = autostart.setEnabled(on);
            view.loginEnabled = autostart.enabled();
            viewChanged();
        },
        more);
    more->content()->addWidget(launch);
    QLabel* error = SettingsRows::notice(QString(), true, more);
    more->content()->addWidget(error);
    more->content()->addWidget(SettingsRows::caption(tr("자동 실행은 앱을 고정된 위치에 둔 뒤 켜 주세요. 앱이 "
                                                        "실행 중일 때 매시간 동기화하고, 잠자기에서 "
                                                        "돌아오면 밀린 조회를 한 번 실행합니다."),
        more));
    follow([&view, launch, error] {
        SettingsRows::showChecked(launch, view.loginEnabled);
        SettingsRows::setNotice(error, view.launchError.value_or(QString()), true);
    });
    return more;
}

} // namespace vantory
