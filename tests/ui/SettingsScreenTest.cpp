#include "ui/SettingsScreen.h"

#include "app/StatusContentView.h"
#include "engine/Engine.h"
#include "store/Store.h"
#include "ui/CategoryColorTab.h"
#include "ui/ColorModeMenu.h"
#include "ui/ColorWell.h"
#include "ui/ScreenWindow.h"
#include "ui/SettingsWindowSize.h"

#include "SampleDatabase.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <chrono>
#include <gtest/gtest.h>

namespace vantory {
namespace {

using namespace std::chrono_literals;

const Instant now = Instant(std::chrono::sys_days(std::chrono::year(2026) / 3 / 10).time_since_epoch() + 18h);

class SettingsScreenTest : public ::testing::Test {
protected:
    SettingsScreenTest()
    {
        qputenv("XDG_CONFIG_HOME", QString::fromStdString((folder / "config").string()).toUtf8());
        store.update([](Database& db) { db = sample::database(60, now); });
    }

    std::unique_ptr<SettingsScreen> open(bool colorOnly, const char* tab)
    {
        auto screen = std::make_unique<SettingsScreen>(store, colorOnly, QString::fromUtf8(tab));
        screen->resize(screen->wantedSize());
        screen->show();
        return screen;
    }

    // The screen rebuilds its tab after the Store's notification, on the next turn of the loop.
    template <typename Widget> static Widget* find(const SettingsScreen& screen, const QString& name)
    {
        QCoreApplication::processEvents();
        auto* widget = screen.findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    // What a fresh start reads from the state file.
    Settings saved() const { return Store(store.fileURL(), now).db().settings; }

    // Scrolled into view first: a click lands on whatever the window shows at that point.
    static void click(QWidget* widget)
    {
        ASSERT_NE(widget, nullptr);
        for (QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
            if (auto* scroll = qobject_cast<QScrollArea*>(parent))
                scroll->ensureWidgetVisible(widget);
        }
        // A switch reacts on its box and label, not across the whole row it spans.
        const QPoint at = qobject_cast<QCheckBox*>(widget) ? QPoint(8, widget->height() / 2) : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }

    static void choose(QComboBox* picker, int index)
    {
        picker->setCurrentIndex(index);
        Q_EMIT picker->activated(index);
    }

    static void pickColor(ColorWell* well, QColor color)
    {
        click(well);
        ASSERT_NE(well->dialog(), nullptr);
        well->dialog()->setCurrentColor(color);
        well->dialog()->accept();
    }

    test::TemporaryFolder folder;
    Store store{folder / "state.json", now};
};

TEST_F(SettingsScreenTest, DisplayControlsWriteTheSettingsAndTheStateFile)
{
    auto screen = open(false, SettingsTabs::display);
    const std::size_t slots = store.db().settings.durations.size();

    click(find<QPushButton>(*screen, QStringLiteral("add-duration")));
    EXPECT_EQ(store.db().settings.durations.size(), slots + 1);
    EXPECT_EQ(store.db().settings.durations.back(), 5);

    auto* first = find<QSpinBox>(*screen, QStringLiteral("duration-0"));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_EQ(store.db().settings.durations.front(), 11);
    // The rebuilt field keeps the keyboard focus.
    EXPECT_TRUE(find<QSpinBox>(*screen, QStringLiteral("duration-0"))->hasFocus());

    click(find<QToolButton>(*screen, QStringLiteral("remove-duration-1")));
    EXPECT_EQ(store.db().settings.durations, (std::vector<double>{11, 5, 5}));

    QTest::keyClick(find<QSlider>(*screen, QStringLiteral("status-padding")), Qt::Key_Right);
    QTest::keyClick(find<QSlider>(*screen, QStringLiteral("status-font-size")), Qt::Key_Left);
    const bool progress = store.db().settings.showProgress.value_or(false);
    click(find<QCheckBox>(*screen, QStringLiteral("show-progress")));

    const Settings settings = saved();
    EXPECT_EQ(settings.durations, (std::vector<double>{11, 5, 5}));
    EXPECT_EQ(settings.statusPadding, 7);
    EXPECT_EQ(settings.statusFontSize, 11);
    EXPECT_EQ(settings.showProgress, !progress);
}

TEST_F(SettingsScreenTest, RowsFollowTheTransitionAndWidthChoices)
{
    store.update([](Database& db) {
        db.settings.transitionStyle.reset();
        db.settings.statusWidthMode.reset();
        db.settings.syncMinutes = 5;
    });
    auto screen = open(false, SettingsTabs::display);
    EXPECT_EQ(find<QSlider>(*screen, QStringLiteral("transition-duration"))->value(), 2); // 0.3 s
    EXPECT_TRUE(find<QPushButton>(*screen, QStringLiteral("width-mode-0"))->isChecked());
    EXPECT_EQ(screen->findChild<QSlider*>(QStringLiteral("status-width")), nullptr);

    click(find<QPushButton>(*screen, QStringLiteral("width-mode-1")));
    auto* width = find<QSlider>(*screen, QStringLiteral("status-width"));
    EXPECT_EQ(store.db().settings.statusWidthMode, Modes::Width::fixed);
    QTest::keyClick(width, Qt::Key_Right);
    EXPECT_EQ(store.db().settings.statusWidth, 285);

    choose(find<QComboBox>(*screen, QStringLiteral("transition-style")), 0);
    EXPECT_EQ(store.db().settings.transitionStyle, Modes::Transition::none);
    QCoreApplication::processEvents();
    EXPECT_EQ(screen->findChild<QSlider*>(QStringLiteral("transition-duration")), nullptr);

    screen->setTab(QString::fromUtf8(SettingsTabs::connection));
    // Five minutes is none of the seven choices: nothing is selected.
    auto* interval = find<QComboBox>(*screen, QStringLiteral("sync-minutes"));
    EXPECT_EQ(interval->currentIndex(), -1);
    choose(interval, 3);
    EXPECT_EQ(saved().syncMinutes, 120);
    EXPECT_EQ(interval->itemText(3), QStringLiteral("2시간"));
}

TEST_F(SettingsScreenTest, CourseNamesAndSwitchesAreSaved)
{
    auto screen = open(false, SettingsTabs::connection);
    const Course course = store.db().settings.courses.front();
    const QString id = QString::fromStdString(course.id);
    auto* name = find<QLineEdit>(*screen, QStringLiteral("course-name-") + id);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("CPSC 221"));
    QTest::keyClick(name, Qt::Key_Return);
    name = find<QLineEdit>(*screen, QStringLiteral("course-name-") + id);
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("  "));
    QTest::keyClick(name, Qt::Key_Return); // a blank name keeps the last one
    // A sync while a name is being typed neither drops the text nor the focus.
    name = find<QLineEdit>(*screen, QStringLiteral("course-name-") + id);
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("CPSC 221 A"));
    store.update([](Database& db) { db.lastSync["sync"] = now; });
    EXPECT_EQ(find<QLineEdit>(*screen, QStringLiteral("course-name-") + id)->text(), QStringLiteral("CPSC 221 A"));
    EXPECT_TRUE(find<QLineEdit>(*screen, QStringLiteral("course-name-") + id)->hasFocus());
    click(find<QCheckBox>(*screen, QStringLiteral("course-enabled-") + id));
    // Canvas back on asks for a sync at once; the refresh button waits while one runs.
    int syncs = 0;
    store.sync = [&] { ++syncs; };
    click(find<QCheckBox>(*screen, QStringLiteral("canvas-enabled")));
    click(find<QCheckBox>(*screen, QStringLiteral("canvas-enabled")));
    EXPECT_EQ(syncs, 1);
    store.setCanvasSyncing(true);
    EXPECT_FALSE(find<QPushButton>(*screen, QStringLiteral("sync"))->isEnabled());

    const Settings settings = saved();
    EXPECT_EQ(settings.canvasEnabled, true);
    const Course* stored = settings.course(course.id);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->name, "CPSC 221 A");
    EXPECT_EQ(stored->enabled, !course.enabled);
}

TEST_F(SettingsScreenTest, LaunchAtLoginWritesAndRemovesTheAutostartEntry)
{
    auto screen = open(false, SettingsTabs::connection);
    const QString entry = QString::fromStdString((folder / "config" / "autostart" / "vantory.desktop").string());
    EXPECT_EQ(screen->autostart().entryPath(), entry);

    click(find<QCheckBox>(*screen, QStringLiteral("launch-at-login")));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=\"%1\"\n").arg(QCoreApplication::applicationFilePath())));
    EXPECT_TRUE(find<QCheckBox>(*screen, QStringLiteral("launch-at-login"))->isChecked());

    click(find<QCheckBox>(*screen, QStringLiteral("launch-at-login")));
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(find<QCheckBox>(*screen, QStringLiteral("launch-at-login"))->isChecked());
}

TEST_F(SettingsScreenTest, AnEntryThatCannotBeWrittenLeavesTheSwitchOffWithTheReason)
{
    // A file where the autostart folder should be.
    QDir().mkpath(QString::fromStdString((folder / "config").string()));
    QFile blocker(QString::fromStdString((folder / "config" / "autostart").string()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto screen = open(false, SettingsTabs::connection);
    click(find<QCheckBox>(*screen, QStringLiteral("launch-at-login")));
    EXPECT_FALSE(find<QCheckBox>(*screen, QStringLiteral("launch-at-login"))->isChecked());
    bool shown = false;
    for (const QLabel* label : screen->findChildren<QLabel*>())
        shown = shown || label->text().startsWith(QStringLiteral("자동 실행 항목을 저장하지 못했습니다"));
    EXPECT_TRUE(shown);
}

TEST(AutostartTest, ExecQuotesAndEscapesThePath)
{
    EXPECT_EQ(
        Autostart::execValue(QStringLiteral("/opt/Van tory/vantory")), QStringLiteral("\"/opt/Van tory/vantory\""));
    EXPECT_EQ(Autostart::execValue(QStringLiteral("/a$b/100%/c\"d")), QStringLiteral("\"/a\\\\$b/100%%/c\\\\\"d\""));
    EXPECT_EQ(Autostart::execValue(QStringLiteral("/a\nb")), QString());
}

TEST_F(SettingsScreenTest, ReminderLeadsAreChosenFromTheKeyboardAndLeftOutWhenNoneIsLeft)
{
    store.update([](Database& db) { db.settings.reminderMinutes.reset(); });
    auto screen = open(false, SettingsTabs::reminders);
    EXPECT_EQ(screen->findChild<QTabBar*>()->tabText(2), QStringLiteral("알림"));
    auto* day = find<QCheckBox>(*screen, QStringLiteral("reminder-1440"));
    EXPECT_EQ(day->accessibleName(), QStringLiteral("마감 1일 전 알림"));
    EXPECT_FALSE(day->isChecked());
    day->setFocus();
    QTest::keyClick(day, Qt::Key_Space);
    EXPECT_EQ(store.db().settings.reminderMinutes, (std::vector<std::int64_t>{1440}));
    day = find<QCheckBox>(*screen, QStringLiteral("reminder-1440"));
    EXPECT_TRUE(day->isChecked());
    EXPECT_TRUE(day->hasFocus()) << "the rebuilt box keeps the focus";
    QTest::keyClick(day, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find<QCheckBox>(*screen, QStringLiteral("reminder-180")));

    click(find<QCheckBox>(*screen, QStringLiteral("reminder-15")));
    EXPECT_EQ(saved().reminderMinutes, (std::vector<std::int64_t>{15, 1440}));

    // A lead set in the file that the tab does not offer stays; unchecking the rest leaves only it.
    store.update([](Database& db) { db.settings.reminderMinutes->push_back(30); });
    click(find<QCheckBox>(*screen, QStringLiteral("reminder-15")));
    click(find<QCheckBox>(*screen, QStringLiteral("reminder-1440")));
    EXPECT_EQ(saved().reminderMinutes, (std::vector<std::int64_t>{30}));
    store.update([](Database& db) { db.settings.reminderMinutes = {{60}}; });
    click(find<QCheckBox>(*screen, QStringLiteral("reminder-60")));
    EXPECT_EQ(saved().reminderMinutes, std::nullopt);
    QFile file(QString::fromStdString(store.fileURL().string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("reminderMinutes"));
}

TEST_F(SettingsScreenTest, ColourWindowOffersOnlyItsTabsAndSizesTheTimeTab)
{
    auto colors = open(true, "");
    EXPECT_EQ(colors->tab(), QString::fromUtf8(SettingsTabs::courseColors));
    EXPECT_EQ(colors->findChild<QTabBar*>()->count(), 3);
    EXPECT_EQ(colors->findChild<QSpinBox*>(QStringLiteral("duration-0")), nullptr);
    auto settings = open(false, SettingsTabs::timeColors); // not a tab of the settings window
    EXPECT_EQ(settings->tab(), QString::fromUtf8(SettingsTabs::display));

    QSize wanted;
    QObject::connect(
        colors.get(), &SettingsScreen::wantedSizeChanged, colors.get(), [&](QSize size) { wanted = size; });
    colors->findChild<QTabBar*>()->setCurrentIndex(2);
    const std::size_t rules = store.db().settings.pairedRules->size();
    EXPECT_EQ(wanted, QSize(500, static_cast<int>(390 + 34 * rules)));
    EXPECT_EQ(SettingsScreen::panelSize(true, QString::fromUtf8(SettingsTabs::timeColors), 20), QSize(500, 620));
}

TEST_F(SettingsScreenTest, TheHostingWindowFollowsTheTabAndEscapeClosesIt)
{
    auto* screen = new SettingsScreen(store, true);
    ScreenWindow window(QStringLiteral("Vantory 색상"), screen, screen->wantedSize());
    window.show();
    screen->setTab(QString::fromUtf8(SettingsTabs::timeColors));
    EXPECT_EQ(window.size(), screen->wantedSize());
    EXPECT_NE(window.size(), QSize(500, 600));
    // Within a point of the wanted size is left alone.
    EXPECT_FALSE(SettingsWindowSize::fit(screen, screen->wantedSize() + QSize(1, -1)));
    EXPECT_TRUE(SettingsWindowSize::fit(screen, QSize(500, 600)));
    EXPECT_FALSE(SettingsWindowSize::fit(&window, QSize(10, 10))); // no hosting window

    QTest::keyClick(screen->findChild<QTabBar*>(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SettingsScreenTest, ThePreviewShowsTheLineTenHoursBeforeADeadline)
{
    auto screen = open(true, SettingsTabs::timeColors);
    auto* preview = screen->findChild<StatusContentView*>();
    ASSERT_NE(preview, nullptr);
    auto timeColor = [&] {
        QCoreApplication::processEvents();
        const StatusText& line = preview->current();
        const std::size_t at = line.text.find("10h0m");
        EXPECT_NE(at, std::string::npos) << line.text;
        for (const StatusRun& run : line.runs) {
            if (run.start <= at && at < run.start + run.length) // the text before is ASCII or "● "
                return run.colorHex.value_or("");
        }
        return std::string();
    };
    EXPECT_EQ(timeColor(), Engine::hex(10 * 3600, store.db().settings));
    pickColor(find<ColorWell>(*screen, QStringLiteral("rule-time-0")), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(timeColor(), "123456");
}

TEST_F(SettingsScreenTest, TimeRulesResetAddRemoveAndClampTheirHours)
{
    auto screen = open(true, SettingsTabs::timeColors);
    click(find<QPushButton>(*screen, QStringLiteral("reset-rules")));
    click(find<QPushButton>(*screen, QStringLiteral("add-rule")));
    auto hours = [&] {
        std::vector<double> result;
        const Settings settings = saved();
        for (const PairedColorRule& rule : *settings.pairedRules)
            result.push_back(rule.hours);
        return result;
    };
    EXPECT_EQ(hours(), (std::vector<double>{12, 36, 72}));
    EXPECT_EQ(saved().pairedOtherDot, "22C55E");

    for (const auto& [typed, stored] : std::vector<std::pair<QString, double>>{
             {QStringLiteral("0"), 0.1}, {QStringLiteral("99999"), 8760}, {QStringLiteral("2.5"), 2.5}}) {
        auto* field = find<QLineEdit>(*screen, QStringLiteral("rule-hours-2"));
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(hours().back(), stored) << typed.toStdString();
        EXPECT_EQ(find<QLineEdit>(*screen, QStringLiteral("rule-hours-2"))->text(), QString::number(stored));
    }

    pickColor(find<ColorWell>(*screen, QStringLiteral("rule-dot-0")), QColor(0x12, 0x80, 0xFE));
    EXPECT_EQ(saved().pairedRules->front().dotHex, "1280FE");
    click(find<QToolButton>(*screen, QStringLiteral("rule-remove-0")));
    EXPECT_EQ(hours(), (std::vector<double>{36, 2.5}));
}

TEST_F(SettingsScreenTest, CategoryStylesInTheAllScopeReplaceCourseEntries)
{
    const std::vector<std::string> categories = CategoryColorTab::scopedCategories(store, "all");
    ASSERT_FALSE(categories.empty());
    const std::string category = categories.front();
    const std::string courseID = store.enabled().front().courseID;
    std::string courseCategory;
    for (const Assessment& item : store.enabled()) {
        if (item.courseID == courseID)
            courseCategory = item.category;
    }
    store.update([&](Database& db) {
        db.settings.categoryStyles
            = std::map<std::string, CategoryStyle>{{courseID + "|" + category, {Modes::ColorSource::custom, "111111"}},
                {courseID + "|" + courseCategory, {Modes::ColorSource::custom, "222222"}}};
    });
    auto screen = open(true, SettingsTabs::categoryColors);

    // One course's own entry falls back to the common style.
    choose(find<QComboBox>(*screen, QStringLiteral("category-scope")),
        static_cast<int>(1
            + std::distance(store.db().settings.courses.begin(),
                std::find_if(store.db().settings.courses.begin(), store.db().settings.courses.end(),
                    [&](const Course& c) { return c.id == courseID; }))));
    click(find<QPushButton>(*screen, QStringLiteral("use-common-") + QString::fromStdString(courseCategory)));
    EXPECT_FALSE(saved().categoryStyles->contains(courseID + "|" + courseCategory));

    choose(find<QComboBox>(*screen, QStringLiteral("category-scope")), 0);
    auto* menu = find<ColorModeMenu>(*screen, QStringLiteral("category-mode-") + QString::fromStdString(category));
    menu->optionsMenu()->actions().at(1)->trigger(); // 캘린더 과목색
    const auto styles = *saved().categoryStyles;
    EXPECT_FALSE(styles.contains(courseID + "|" + category));
    EXPECT_EQ(styles.at("all|" + category), (CategoryStyle{Modes::ColorSource::calendar, "FFFFFF"}));

    // The bulk action gives every listed category the chosen style.
    choose(find<QComboBox>(*screen, QStringLiteral("bulk-mode")), 3);
    pickColor(find<ColorWell>(*screen, QStringLiteral("bulk-color")), QColor(0xAB, 0xCD, 0xEF));
    auto* apply = find<QPushButton>(*screen, QStringLiteral("bulk-apply"));
    EXPECT_EQ(apply->text(), QStringLiteral("%1개 카테고리에 적용").arg(categories.size()));
    click(apply);
    for (const std::string& each : categories)
        EXPECT_EQ(saved().categoryStyles->at("all|" + each), (CategoryStyle{Modes::ColorSource::custom, "ABCDEF"}));

    click(find<QCheckBox>(*screen, QStringLiteral("exclude-") + QString::fromStdString(category)));
    EXPECT_EQ(saved().excludedCategories.back(), category);
}

TEST_F(SettingsScreenTest, CourseColoursAndTheUniformSwitch)
{
    auto screen = open(true, SettingsTabs::courseColors);
    const Course course = store.db().settings.courses.front();
    const QString id = QString::fromStdString(course.id);
    pickColor(find<ColorWell>(*screen, QStringLiteral("calendar-") + id), QColor(0x80, 0x80, 0x80));
    find<ColorModeMenu>(*screen, QStringLiteral("menu-mode-") + id)->optionsMenu()->actions().at(2)->trigger();
    pickColor(find<ColorWell>(*screen, QStringLiteral("menu-") + id), QColor(0x01, 0x02, 0x03));
    const Settings settings = saved();
    const Course* stored = settings.course(course.id);
    EXPECT_EQ(stored->colorHex, "808080");
    EXPECT_EQ(stored->menuColorMode, Modes::ColorSource::custom);
    EXPECT_EQ(stored->menuColorHex, "010203");

    EXPECT_EQ(screen->findChild<ColorWell*>(QStringLiteral("uniform-calendar")), nullptr);
    click(find<QCheckBox>(*screen, QStringLiteral("uniform-colors")));
    pickColor(find<ColorWell>(*screen, QStringLiteral("uniform-calendar")), QColor(0xFE, 0xDC, 0xBA));
    EXPECT_EQ(saved().uniformCourseColors, true);
    EXPECT_EQ(saved().uniformCalendarHex, "FEDCBA");
}

TEST(ColorModeMenuTest, AModeOutsideTheListShowsDirectChoiceUnchecked)
{
    ColorModeMenu menu(true);
    menu.setMode(Modes::ColorSource::course);
    EXPECT_EQ(menu.text(), QStringLiteral("직접 선택"));
    for (const QAction* action : menu.optionsMenu()->actions())
        EXPECT_FALSE(action->isChecked());
    menu.setMode(Modes::ColorSource::urgency);
    EXPECT_EQ(menu.text(), QStringLiteral("남은 시간 기준"));
    EXPECT_TRUE(menu.optionsMenu()->actions().at(1)->isChecked());
}

} // namespace
} // namespace vantory
