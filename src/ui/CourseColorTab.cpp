// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CourseColorTab.h"

#include "store/Store.h"
#include "ui/AccessibleText.h"
#include "ui/ColorModeMenu.h"
#include "ui/ColorWell.h"
#include "ui/ReadableGroup.h"
#include "ui/SettingsRows.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vantory {

namespace {

using Modes::ColorSource::custom;

ColorWell* well(const QString& name, const QString& objectName, const std::function<void(const std::string&)>& commit,
    QWidget* parent)
{
    auto* control = new ColorWell(name, parent);
    control->setObjectName(objectName);
    QObject::connect(control, &ColorWell::colorChosen, control, commit);
    return control;
}

ColorModeMenu* modeMenu(
    const QString& objectName, const std::function<void(const std::string&)>& commit, QWidget* parent)
{
    auto* menu = new ColorModeMenu(true, parent);
    menu->setObjectName(objectName);
    QObject::connect(menu, &ColorModeMenu::modeChosen, menu, commit);
    return menu;
}

void edit(Store& store, const std::function<void(Settings&)>& change)
{
    SettingsRows::updateSettings(store, change);
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

CourseColorTab::CourseColorTab(Store& store, QWidget* parent)
    : SettingsTab(parent)
    , store_(store)
{
    auto* layout = SettingsRows::tabColumn(this);
    layout->addWidget(uniformGroup());
    auto* courses = new SettingsPart(
        [this] { return SettingsRows::courseIds(store_); }, [this](SettingsPart& part) { courseGroups(part); }, this);
    layout->addWidget(courses);
    follow([courses] { courses->refresh(); });
    layout->addWidget(SettingsRows::caption(tr("새 과목의 캘린더 색상은 무작위로 배정됩니다."), this));
    layout->addStretch(1);
}

QWidget* CourseColorTab::uniformGroup()
{
    auto* group = new ReadableGroup(QString(), this);
    QCheckBox* uniform = SettingsRows::toggle(
        tr("모든 과목에 같은 색상 적용"), QStringLiteral("uniform-colors"), false,
        [this](bool on) { edit(store_, [&](Settings& s) { s.uniformCourseColors = on; }); }, group);
    group->content()->addWidget(uniform);
    group->content()->addWidget(
        SettingsRows::caption(tr("새로 가져오는 과목에도 적용합니다. 끄면 기존 과목별 색상으로 돌아갑니다."), group));
    ColorWell* calendar = well(
        tr("공통 캘린더 색상"), QStringLiteral("uniform-calendar"),
        [this](const std::string& hex) { edit(store_, [&](Settings& s) { s.uniformCalendarHex = hex; }); }, group);
    QWidget* calendarRow = SettingsRows::row(tr("공통 캘린더 색상"), {calendar}, group);
    group->content()->addWidget(calendarRow);
    ColorModeMenu* menu = modeMenu(
        QStringLiteral("uniform-menu-mode"),
        [this](const std::string& value) { edit(store_, [&](Settings& s) { s.uniformMenuMode = value; }); }, group);
    ColorWell* menuColor = well(
        tr("공통 메뉴바 색상"), QStringLiteral("uniform-menu"),
        [this](const std::string& hex) { edit(store_, [&](Settings& s) { s.uniformMenuHex = hex; }); }, group);
    QWidget* menuRow = SettingsRows::row(tr("공통 메뉴바 색상"), {menu, menuColor}, group);
    group->content()->addWidget(menuRow);
    follow([this, uniform, calendar, calendarRow, menu, menuColor, menuRow] {
        const Settings& settings = store_.db().settings;
        const bool on = settings.uniformCourseColors.value_or(false);
        SettingsRows::showChecked(uniform, on);
        // The common colours only while they apply.
        calendarRow->setVisible(on);
        menuRow->setVisible(on);
        calendar->setHex(settings.uniformCalendarHex.value_or("FFFFFF"));
        const std::string mode = settings.uniformMenuMode.value_or(Modes::ColorSource::calendar);
        menu->setMode(mode);
        menuColor->setVisible(mode == custom);
        menuColor->setHex(settings.uniformMenuHex.value_or("FFFFFF"));
    });
    return group;
}

// The courses' own colours stay visible but inactive while the common ones apply.
void CourseColorTab::courseGroups(SettingsPart& part)
{
    auto* column = SettingsRows::tabColumn(part.content());
    column->setContentsMargins(0, 0, 0, 0);
    for (const Course& course : store_.db().settings.courses) {
        const QString id = QString::fromStdString(course.id);
        const std::string courseID = course.id;
        auto* group = new ReadableGroup(QString(), part.content());
        ColorWell* calendar = well(
            QString(), QStringLiteral("calendar-") + id,
            [this, courseID](
                const std::string& hex) { editCourse(store_, courseID, [&](Course& c) { c.colorHex = hex; }); },
            group);
        group->content()->addWidget(SettingsRows::row(tr("월간 캘린더"), {calendar}, group));
        ColorModeMenu* menu = modeMenu(
            QStringLiteral("menu-mode-") + id,
            [this, courseID](const std::string& value) {
                editCourse(store_, courseID, [&](Course& c) { c.menuColorMode = value; });
            },
            group);
        group->content()->addWidget(SettingsRows::row(tr("메뉴바 과목 번호"), {menu}, group));
        ColorWell* menuColor = well(
            QString(), QStringLiteral("menu-") + id,
            [this, courseID](
                const std::string& hex) { editCourse(store_, courseID, [&](Course& c) { c.menuColorHex = hex; }); },
            group);
        QWidget* menuColorRow = SettingsRows::row(tr("과목 번호 색상"), {menuColor}, group);
        group->content()->addWidget(menuColorRow);
        column->addWidget(group);
        part.follow([this, courseID, group, calendar, menu, menuColor, menuColorRow] {
            const Settings& settings = store_.db().settings;
            const Course& course = *settings.course(courseID);
            const QString name = QString::fromStdString(course.name);
            group->setTitle(course.fullName.empty()
                    ? name
                    : name + QStringLiteral(" · ") + QString::fromStdString(course.fullName));
            group->setEnabled(!settings.uniformCourseColors.value_or(false));
            AccessibleText::setName(calendar, tr("%1 월간 캘린더").arg(name));
            calendar->setHex(course.colorHex);
            AccessibleText::setName(menu, tr("%1 메뉴바 과목 번호").arg(name));
            menu->setMode(course.menuColorMode);
            menuColorRow->setVisible(course.menuColorMode == custom);
            AccessibleText::setName(menuColor, tr("%1 과목 번호 색상").arg(name));
            menuColor->setHex(course.menuColorHex);
        });
    }
}

} // namespace vantory
