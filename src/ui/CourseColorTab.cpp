#include "ui/CourseColorTab.h"

#include "store/Store.h"
#include "ui/ColorModeMenu.h"
#include "ui/ColorWell.h"
#include "ui/ReadableGroup.h"
#include "ui/SettingsRows.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vantory {

namespace {

ColorWell* well(const QString& name, const QString& objectName, const std::string& hex,
    const std::function<void(const std::string&)>& commit, QWidget* parent)
{
    auto* control = new ColorWell(name, parent);
    control->setObjectName(objectName);
    control->setHex(hex);
    QObject::connect(control, &ColorWell::colorChosen, control, commit);
    return control;
}

ColorModeMenu* modeMenu(const QString& objectName, const std::string& mode,
    const std::function<void(const std::string&)>& commit, QWidget* parent)
{
    auto* menu = new ColorModeMenu(true, parent);
    menu->setObjectName(objectName);
    menu->setMode(mode);
    QObject::connect(menu, &ColorModeMenu::modeChosen, menu, commit);
    return menu;
}

} // namespace

CourseColorTab::CourseColorTab(Store& store, QWidget* parent)
    : QWidget(parent)
    , store_(store)
{
    using Modes::ColorSource::custom;
    const Settings& settings = store.db().settings;
    auto* layout = SettingsRows::tabColumn(this);
    auto edit = [this](const std::function<void(Settings&)>& change) { SettingsRows::updateSettings(store_, change); };
    auto editCourse = [this](std::string courseID, std::function<void(Course&)> change) {
        store_.update([&](Database& db) {
            for (Course& course : db.settings.courses) {
                if (course.id == courseID)
                    change(course);
            }
        });
    };

    auto* uniform = new ReadableGroup(QString(), this);
    const bool uniformOn = settings.uniformCourseColors.value_or(false);
    uniform->content()->addWidget(SettingsRows::toggle(
        QStringLiteral("모든 과목에 같은 색상 적용"), QStringLiteral("uniform-colors"), uniformOn,
        [edit](bool on) { edit([&](Settings& s) { s.uniformCourseColors = on; }); }, uniform));
    uniform->content()->addWidget(SettingsRows::caption(
        QStringLiteral("새로 가져오는 과목에도 적용합니다. 끄면 기존 과목별 색상으로 돌아갑니다."), uniform));
    if (uniformOn) {
        uniform->content()->addWidget(SettingsRows::row(QStringLiteral("공통 캘린더 색상"),
            {well(
                QStringLiteral("공통 캘린더 색상"), QStringLiteral("uniform-calendar"),
                settings.uniformCalendarHex.value_or("FFFFFF"),
                [edit](const std::string& hex) { edit([&](Settings& s) { s.uniformCalendarHex = hex; }); }, uniform)},
            uniform));
        const std::string mode = settings.uniformMenuMode.value_or(Modes::ColorSource::calendar);
        auto* menu = modeMenu(
            QStringLiteral("uniform-menu-mode"), mode,
            [edit](const std::string& value) { edit([&](Settings& s) { s.uniformMenuMode = value; }); }, uniform);
        if (mode == custom) {
            uniform->content()->addWidget(SettingsRows::row(QStringLiteral("공통 메뉴바 색상"),
                {menu,
                    well(
                        QStringLiteral("공통 메뉴바 색상"), QStringLiteral("uniform-menu"),
                        settings.uniformMenuHex.value_or("FFFFFF"),
                        [edit](const std::string& hex) { edit([&](Settings& s) { s.uniformMenuHex = hex; }); },
                        uniform)},
                uniform));
        } else {
            uniform->content()->addWidget(SettingsRows::row(QStringLiteral("공통 메뉴바 색상"), {menu}, uniform));
        }
    }
    layout->addWidget(uniform);

    // The courses' own colours stay visible but inactive while the common ones apply.
    for (const Course& course : settings.courses) {
        const QString id = QString::fromStdString(course.id);
        QString title = QString::fromStdString(course.name);
        if (!course.fullName.empty())
            title += QStringLiteral(" · ") + QString::fromStdString(course.fullName);
        auto* group = new ReadableGroup(title, this);
        group->setEnabled(!uniformOn);
        group->content()->addWidget(SettingsRows::row(QStringLiteral("월간 캘린더"),
            {well(
                QStringLiteral("%1 월간 캘린더").arg(QString::fromStdString(course.name)),
                QStringLiteral("calendar-") + id, course.colorHex,
                [editCourse, courseID = course.id](
                    const std::string& hex) { editCourse(courseID, [&](Course& c) { c.colorHex = hex; }); },
                group)},
            group));
        auto* menu = modeMenu(
            QStringLiteral("menu-mode-") + id, course.menuColorMode,
            [editCourse, courseID = course.id](
                const std::string& value) { editCourse(courseID, [&](Course& c) { c.menuColorMode = value; }); },
            group);
        menu->setAccessibleName(QStringLiteral("%1 메뉴바 과목 번호").arg(QString::fromStdString(course.name)));
        group->content()->addWidget(SettingsRows::row(QStringLiteral("메뉴바 과목 번호"), {menu}, group));
        if (course.menuColorMode == custom) {
            group->content()->addWidget(SettingsRows::row(QStringLiteral("과목 번호 색상"),
                {well(
                    QStringLiteral("%1 과목 번호 색상").arg(QString::fromStdString(course.name)),
                    QStringLiteral("menu-") + id, course.menuColorHex,
                    [editCourse, courseID = course.id](
                        const std::string& hex) { editCourse(courseID, [&](Course& c) { c.menuColorHex = hex; }); },
                    group)},
                group));
        }
        layout->addWidget(group);
    }
    layout->addWidget(SettingsRows::caption(QStringLiteral("새 과목의 캘린더 색상은 무작위로 배정됩니다."), this));
    layout->addStretch(1);
}

} // namespace vantory
