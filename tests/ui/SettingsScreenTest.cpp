#include "ui/SettingsScreen.h"

#include "engine/Engine.h"
#include "store/SiteChoice.h"
#include "store/Store.h"
#include "ui/CategoryColorTab.h"
#include "ui/ColorModeMenu.h"
#include "ui/ColorWell.h"
#include "ui/FirstLaunch.h"
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
#include <QListView>
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

#include "desktop/StatusContentView.h"

namespace vantory {
namespace {

using namespace std::chrono_literals;
using Leads = std::vector<std::int64_t>;

const Instant now = Instant(std::chrono::sys_days(std::chrono::year(2026) / 3 / 10).time_since_epoch() + 18h);

class SettingsScreenTest : public ::testing::Test {
protected:
    SettingsScreenTest()
    {
        qputenv("XDG_CONFIG_HOME", QString::fromStdString((folder / "config").string()).toUtf8());
        store.update([](Database& db) { db = sample::database(60, now); });
    }

    void open(bool colorOnly, const char* tab)
    {
        screen = std::make_unique<SettingsScreen>(store, colorOnly, QString::fromUtf8(tab));
        screen->resize(screen->wantedSize());
        screen->show();
    }

    // The screen rebuilds its tab after the Store's notification, on the next turn of the loop.
    template <typename Widget> Widget* find(const char* name, const std::string& suffix = {}) const
    {
        QCoreApplication::processEvents();
        const QString full = QString::fromUtf8(name) + QString::fromStdString(suffix);
        auto* widget = screen->findChild<Widget*>(full);
        EXPECT_NE(widget, nullptr) << full.toStdString();
        return widget;
    }

    // What a fresh start reads from the state file.
    Settings saved() const { return Store(store.statePath(), now).db().settings; }

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

    static void type(QLineEdit* field, const QString& text, bool enter = true)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        if (enter)
            QTest::keyClick(field, Qt::Key_Return);
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
    std::unique_ptr<SettingsScreen> screen;
};

TEST_F(SettingsScreenTest, DisplayControlsWriteTheSettingsAndTheStateFile)
{
    open(false, SettingsTabs::display);
    click(find<QPushButton>("add-duration"));
    auto* first = find<QSpinBox>("duration-0");
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_TRUE(find<QSpinBox>("duration-0")->hasFocus()) << "the rebuilt field keeps the keyboard focus";
    click(find<QToolButton>("remove-duration-1"));
    QTest::keyClick(find<QSlider>("status-padding"), Qt::Key_Right);
    QTest::keyClick(find<QSlider>("status-font-size"), Qt::Key_Left);
    click(find<QCheckBox>("show-progress"));

    const Settings settings = saved();
    EXPECT_EQ(settings.durations, (std::vector<double>{11, 5, 5})); // the added slot holds 5 seconds
    EXPECT_EQ(settings.statusPadding, 7);
    EXPECT_EQ(settings.statusFontSize, 11);
    EXPECT_EQ(settings.showProgress, true);
}

TEST_F(SettingsScreenTest, RowsFollowTheTransitionAndWidthChoices)
{
    store.update([](Database& db) {
        db.settings.transitionStyle.reset();
        db.settings.statusWidthMode.reset();
        db.settings.syncMinutes = 5;
    });
    open(false, SettingsTabs::display);
    EXPECT_EQ(find<QSlider>("transition-duration")->value(), 2); // 0.3 s
    EXPECT_TRUE(find<QPushButton>("width-mode-0")->isChecked());
    EXPECT_EQ(screen->findChild<QSlider*>(QStringLiteral("status-width")), nullptr);

    click(find<QPushButton>("width-mode-1"));
    QTest::keyClick(find<QSlider>("status-width"), Qt::Key_Right);
    choose(find<QComboBox>("transition-style"), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(screen->findChild<QSlider*>(QStringLiteral("transition-duration")), nullptr);

    screen->setTab(QString::fromUtf8(SettingsTabs::connection));
    // Five minutes is none of the seven choices: nothing is selected.
    auto* interval = find<QComboBox>("sync-minutes");
    EXPECT_EQ(interval->currentIndex(), -1);
    choose(interval, 3);
    EXPECT_EQ(interval->itemText(3), QStringLiteral("2시간"));
    const Settings settings = saved();
    EXPECT_EQ(settings.statusWidthMode, Modes::Width::fixed);
    EXPECT_EQ(settings.statusWidth, 285);
    EXPECT_EQ(settings.transitionStyle, Modes::Transition::none);
    EXPECT_EQ(settings.syncMinutes, 120);
}

TEST_F(SettingsScreenTest, CourseNamesAndSwitchesAreSaved)
{
    open(false, SettingsTabs::connection);
    const Course course = store.db().settings.courses.front();
    type(find<QLineEdit>("course-name-", course.id), QStringLiteral("CPSC 221"));
    type(find<QLineEdit>("course-name-", course.id), QStringLiteral("  "));
    EXPECT_EQ(store.db().settings.course(course.id)->name, "CPSC 221") << "a blank name keeps the last one";
    // A sync while a name is being typed neither drops the text nor the focus.
    type(find<QLineEdit>("course-name-", course.id), QStringLiteral("CPSC 221 A"), false);
    store.update([](Database& db) { db.lastSync["sync"] = now; });
    EXPECT_EQ(find<QLineEdit>("course-name-", course.id)->text(), QStringLiteral("CPSC 221 A"));
    EXPECT_TRUE(find<QLineEdit>("course-name-", course.id)->hasFocus());
    click(find<QCheckBox>("course-enabled-", course.id));
    // Canvas back on asks for a sync at once; the refresh button waits while one runs.
    int syncs = 0;
    store.sync = [&] { ++syncs; };
    click(find<QCheckBox>("canvas-enabled"));
    click(find<QCheckBox>("canvas-enabled"));
    EXPECT_EQ(syncs, 1);
    store.setCanvasSyncing(true);
    EXPECT_FALSE(find<QPushButton>("sync")->isEnabled());

    const Settings settings = saved();
    EXPECT_EQ(settings.canvasEnabled, true);
    ASSERT_NE(settings.course(course.id), nullptr);
    EXPECT_EQ(settings.course(course.id)->name, "CPSC 221 A");
    EXPECT_EQ(settings.course(course.id)->enabled, !course.enabled);
}

TEST_F(SettingsScreenTest, SiteAddressesAreCheckedSavedAndTried)
{
    const SiteChoice sites(store, {});
    open(false, SettingsTabs::connection);
    const auto notices = [this] {
        QCoreApplication::processEvents();
        QStringList texts;
        for (const QLabel* label : screen->findChildren<QLabel*>())
            texts << label->text();
        return texts.join(QLatin1Char('\n'));
    };
    type(find<QLineEdit>("assessment-address"), QStringLiteral("http://learn.school.edu"));
    EXPECT_TRUE(notices().contains(QStringLiteral("https 주소만"))) << notices().toStdString();
    EXPECT_EQ(find<QLineEdit>("assessment-address")->text(), QStringLiteral("http://learn.school.edu"))
        << "a refused address stays in its field to be mended";
    EXPECT_EQ(store.db().settings.assessmentBaseURL, std::nullopt);

    type(find<QLineEdit>("assessment-address"), QStringLiteral("Learn.School.edu"));
    EXPECT_EQ(saved().assessmentBaseURL, "https://learn.school.edu/");
    EXPECT_EQ(find<QLineEdit>("assessment-address")->text(), QStringLiteral("https://learn.school.edu/"));
    EXPECT_EQ(Sites::current().assessmentBaseURL, "https://learn.school.edu") << "followed at once";
    find<QLineEdit>("canvas-address")->clear();
    type(find<QLineEdit>("canvas-address"), QString());
    EXPECT_FALSE(Sites::current().uses(Site::canvas));
    EXPECT_EQ(find<QCheckBox>("canvas-enabled")->isVisibleTo(screen.get()), false) << "no Canvas without its address";

    std::function<void(bool, std::string)> report;
    store.checkAddress = [&](Site site, const std::string& address, auto done) {
        EXPECT_EQ(site, Site::assessment);
        EXPECT_EQ(address, "https://learn.school.edu/");
        report = std::move(done);
    };
    click(find<QPushButton>("assessment-address-check"));
    EXPECT_FALSE(find<QPushButton>("assessment-address-check")->isEnabled()) << "one check at a time";
    ASSERT_TRUE(report);
    report(false, "연결 실패 · 사이트 주소를 찾을 수 없습니다 (오류 -105)");
    EXPECT_TRUE(find<QPushButton>("assessment-address-check")->isEnabled());
    EXPECT_TRUE(notices().contains(QStringLiteral("사이트 주소를 찾을 수 없습니다"))) << notices().toStdString();
}

TEST_F(SettingsScreenTest, AFirstLaunchWithoutAddressesLeadsToThemAndOnToTheSignIn)
{
    store.update([](Database& db) {
        db.assessments.clear();
        db.settings.assessmentBaseURL = "";
        db.settings.canvasBaseURL = "";
    });
    const SiteChoice sites(store, {});
    int addressesShown = 0;
    std::vector<std::string> signIns;
    store.connect = [&] { signIns.push_back("assessment"); };
    store.connectCanvas = [&] { signIns.push_back("canvas"); };
    FirstLaunch launch(store, [&] { ++addressesShown; });
    launch.start(false);
    EXPECT_EQ(addressesShown, 1);
    EXPECT_TRUE(signIns.empty()) << "no sign-in window for a host that does not exist";
    store.update([](Database& db) { db.settings.canvasBaseURL = "https://canvas.school.edu"; });
    store.update([](Database& db) { db.settings.assessmentBaseURL = "https://learn.school.edu/"; });
    EXPECT_EQ(signIns, std::vector<std::string>{"canvas"}) << "the first saved address leads on, once";
}

TEST_F(SettingsScreenTest, SchoolZoneIsFoundByCityAndChosenFromTheKeyboard)
{
    open(false, SettingsTabs::connection);
    const auto shown = [&] {
        QStringList rows;
        const QAbstractItemModel* model = find<QListView>("zone-list")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows << model->index(row, 0).data().toString();
        return rows;
    };
    const auto footerNames = [&](const QString& city) {
        QCoreApplication::processEvents();
        const auto labels = screen->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(),
            [&](QLabel* label) { return label->text() == QStringLiteral("자동 저장 · %1 시간 · v1.4.2").arg(city); });
    };
    EXPECT_TRUE(find<QListView>("zone-list")
                    ->currentIndex()
                    .data()
                    .toString()
                    .startsWith(QStringLiteral("America/Vancouver · ")));
    EXPECT_TRUE(footerNames(QStringLiteral("Vancouver")));

    // ICU keeps Kolkata under its older id; a sync while typing keeps the search.
    type(find<QLineEdit>("zone-search"), QStringLiteral("kolkata"), false);
    store.update([](Database& db) { db.lastSync["sync"] = now; });
    EXPECT_EQ(find<QLineEdit>("zone-search")->text(), QStringLiteral("kolkata"));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Asia/Calcutta · GMT+5:30")});

    type(find<QLineEdit>("zone-search"), QStringLiteral("seoul"));
    EXPECT_EQ(store.db().settings.timeZone, "Asia/Seoul");
    EXPECT_EQ(saved().timeZone, "Asia/Seoul");
    EXPECT_TRUE(footerNames(QStringLiteral("Seoul")));
    EXPECT_TRUE(find<QLineEdit>("zone-search")->text().isEmpty()) << "a choice ends the search";

    // Down enters the list, Enter there chooses; the default zone is not stored.
    type(find<QLineEdit>("zone-search"), QStringLiteral("vancouver"), false);
    QTest::keyClick(find<QLineEdit>("zone-search"), Qt::Key_Down);
    ASSERT_TRUE(find<QListView>("zone-list")->hasFocus());
    QTest::keyClick(find<QListView>("zone-list"), Qt::Key_Return);
    EXPECT_EQ(store.db().settings.timeZone, std::nullopt);
    EXPECT_TRUE(footerNames(QStringLiteral("Vancouver")));
}

TEST_F(SettingsScreenTest, LaunchAtLoginWritesAndRemovesTheEntryOrShowsWhyItCannot)
{
    open(false, SettingsTabs::connection);
    const QString folderPath = QString::fromStdString((folder / "config" / "autostart").string());
    const QString entry = folderPath + QStringLiteral("/vantory.desktop");
    click(find<QCheckBox>("launch-at-login"));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=\"%1\"\n").arg(QCoreApplication::applicationFilePath())));
    EXPECT_TRUE(find<QCheckBox>("launch-at-login")->isChecked());
    click(find<QCheckBox>("launch-at-login"));
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(find<QCheckBox>("launch-at-login")->isChecked());

    // A file where the autostart folder should be.
    ASSERT_TRUE(QDir(folderPath).removeRecursively());
    QFile blocker(folderPath);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    click(find<QCheckBox>("launch-at-login"));
    EXPECT_FALSE(find<QCheckBox>("launch-at-login")->isChecked());
    const auto labels = screen->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
        return label->text().startsWith(QStringLiteral("자동 실행 항목을 저장하지 못했습니다"));
    }));
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
    open(false, SettingsTabs::reminders);
    EXPECT_EQ(screen->findChild<QTabBar*>()->tabText(2), QStringLiteral("알림"));
    auto* day = find<QCheckBox>("reminder-1440");
    EXPECT_EQ(day->accessibleName(), QStringLiteral("마감 1일 전 알림"));
    EXPECT_FALSE(day->isChecked());
    day->setFocus();
    QTest::keyClick(day, Qt::Key_Space);
    EXPECT_EQ(store.db().settings.reminderMinutes, Leads{1440});
    day = find<QCheckBox>("reminder-1440");
    EXPECT_TRUE(day->isChecked());
    EXPECT_TRUE(day->hasFocus()) << "the rebuilt box keeps the focus";
    QTest::keyClick(day, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find<QCheckBox>("reminder-180"));

    click(find<QCheckBox>("reminder-15"));
    EXPECT_EQ(saved().reminderMinutes, (Leads{15, 1440}));
    // A lead set in the file that the tab does not offer stays; unchecking the rest leaves only it.
    store.update([](Database& db) { db.settings.reminderMinutes->push_back(30); });
    click(find<QCheckBox>("reminder-15"));
    click(find<QCheckBox>("reminder-1440"));
    EXPECT_EQ(saved().reminderMinutes, Leads{30});
    store.update([](Database& db) { db.settings.reminderMinutes = {{60}}; });
    click(find<QCheckBox>("reminder-60"));
    EXPECT_EQ(saved().reminderMinutes, std::nullopt);
}

TEST_F(SettingsScreenTest, ColourWindowOffersOnlyItsTabsAndTheHostingWindowFollowsTheTab)
{
    EXPECT_EQ(SettingsScreen(store, false, QString::fromUtf8(SettingsTabs::timeColors)).tab(),
        QString::fromUtf8(SettingsTabs::display))
        << "not a tab of the settings window";
    auto* colors = new SettingsScreen(store, true);
    EXPECT_EQ(colors->tab(), QString::fromUtf8(SettingsTabs::courseColors));
    EXPECT_EQ(colors->findChild<QTabBar*>()->count(), 3);
    EXPECT_EQ(colors->findChild<QSpinBox*>(QStringLiteral("duration-0")), nullptr);

    ScreenWindow window(QStringLiteral("Vantory 색상"), colors, colors->wantedSize());
    window.show();
    colors->findChild<QTabBar*>()->setCurrentIndex(2);
    const std::size_t rules = store.db().settings.pairedRules->size();
    EXPECT_EQ(window.size(), QSize(500, static_cast<int>(390 + 34 * rules)));
    EXPECT_EQ(SettingsScreen::panelSize(true, QString::fromUtf8(SettingsTabs::timeColors), 20), QSize(500, 620));
    // Within a point of the wanted size is left alone.
    EXPECT_FALSE(SettingsWindowSize::fit(colors, colors->wantedSize() + QSize(1, -1)));
    EXPECT_TRUE(SettingsWindowSize::fit(colors, QSize(500, 600)));
    EXPECT_FALSE(SettingsWindowSize::fit(&window, QSize(10, 10))); // no hosting window

    QTest::keyClick(colors->findChild<QTabBar*>(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SettingsScreenTest, TimeRulesResetAddRemoveAndClampTheirHoursAndThePreviewFollows)
{
    open(true, SettingsTabs::timeColors);
    // The preview is the line ten hours before a deadline; its time text takes the rule's colour.
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
    pickColor(find<ColorWell>("rule-time-0"), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(timeColor(), "123456");

    click(find<QPushButton>("reset-rules"));
    click(find<QPushButton>("add-rule"));
    auto hours = [&] {
        std::vector<double> result;
        const Settings settings = saved(); // kept alive across the loop
        for (const PairedColorRule& rule : *settings.pairedRules)
            result.push_back(rule.hours);
        return result;
    };
    EXPECT_EQ(hours(), (std::vector<double>{12, 36, 72}));
    EXPECT_EQ(saved().pairedOtherDot, "22C55E");

    const std::pair<const char*, double> cases[] = {{"0", 0.1}, {"99999", 8760}, {"2.5", 2.5}};
    for (const auto& [typed, stored] : cases) {
        type(find<QLineEdit>("rule-hours-2"), QString::fromUtf8(typed));
        EXPECT_EQ(hours().back(), stored) << typed;
        EXPECT_EQ(find<QLineEdit>("rule-hours-2")->text(), QString::number(stored));
    }

    pickColor(find<ColorWell>("rule-dot-0"), QColor(0x12, 0x80, 0xFE));
    EXPECT_EQ(saved().pairedRules->front().dotHex, "1280FE");
    click(find<QToolButton>("rule-remove-0"));
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
    const std::string ownKey = courseID + "|" + courseCategory;
    store.update([&](Database& db) {
        db.settings.categoryStyles
            = std::map<std::string, CategoryStyle>{{courseID + "|" + category, {Modes::ColorSource::custom, "111111"}},
                {ownKey, {Modes::ColorSource::custom, "222222"}}};
    });
    open(true, SettingsTabs::categoryColors);

    // One course's own entry falls back to the common style.
    const auto& courses = store.db().settings.courses;
    const auto course = std::find_if(courses.begin(), courses.end(), [&](const Course& c) { return c.id == courseID; });
    choose(find<QComboBox>("category-scope"), static_cast<int>(1 + (course - courses.begin())));
    click(find<QPushButton>("use-common-", courseCategory));
    EXPECT_FALSE(saved().categoryStyles->contains(ownKey));

    choose(find<QComboBox>("category-scope"), 0);
    find<ColorModeMenu>("category-mode-", category)->optionsMenu()->actions().at(1)->trigger(); // 캘린더 과목색
    const auto styles = *saved().categoryStyles;
    EXPECT_FALSE(styles.contains(courseID + "|" + category));
    EXPECT_EQ(styles.at("all|" + category), (CategoryStyle{Modes::ColorSource::calendar, "FFFFFF"}));

    // The bulk action gives every listed category the chosen style.
    choose(find<QComboBox>("bulk-mode"), 3);
    pickColor(find<ColorWell>("bulk-color"), QColor(0xAB, 0xCD, 0xEF));
    auto* apply = find<QPushButton>("bulk-apply");
    EXPECT_EQ(apply->text(), QStringLiteral("%1개 카테고리에 적용").arg(categories.size()));
    click(apply);
    for (const std::string& each : categories)
        EXPECT_EQ(saved().categoryStyles->at("all|" + each), (CategoryStyle{Modes::ColorSource::custom, "ABCDEF"}));

    click(find<QCheckBox>("exclude-", category));
    EXPECT_EQ(saved().excludedCategories.back(), category);
}

TEST_F(SettingsScreenTest, CourseColoursAndTheUniformSwitch)
{
    open(true, SettingsTabs::courseColors);
    const std::string id = store.db().settings.courses.front().id;
    pickColor(find<ColorWell>("calendar-", id), QColor(0x80, 0x80, 0x80));
    find<ColorModeMenu>("menu-mode-", id)->optionsMenu()->actions().at(2)->trigger();
    pickColor(find<ColorWell>("menu-", id), QColor(0x01, 0x02, 0x03));
    EXPECT_EQ(screen->findChild<ColorWell*>(QStringLiteral("uniform-calendar")), nullptr);
    click(find<QCheckBox>("uniform-colors"));
    pickColor(find<ColorWell>("uniform-calendar"), QColor(0xFE, 0xDC, 0xBA));

    const Settings settings = saved();
    const Course* stored = settings.course(id);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->colorHex, "808080");
    EXPECT_EQ(stored->menuColorMode, Modes::ColorSource::custom);
    EXPECT_EQ(stored->menuColorHex, "010203");
    EXPECT_EQ(settings.uniformCourseColors, true);
    EXPECT_EQ(settings.uniformCalendarHex, "FEDCBA");
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
