// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SettingsScreen.h"

#include "engine/Engine.h"
#include "store/SiteChoice.h"
#include "ui/Autostart.h"
#include "ui/CategoryColorTab.h"
#include "ui/ColorModeMenu.h"
#include "ui/ColorWell.h"
#include "ui/FirstLaunch.h"
#include "ui/ScreenWindow.h"
#include "ui/WindowSize.h"

#include "ScreenTest.h"

#include <QSettings>

#include "desktop/DesktopColorScheme.h"
#include "desktop/DesktopLanguage.h"
#include "desktop/SchemePalettes.h"
#include "desktop/StatusContentView.h"

namespace vantory {
namespace {

using Leads = std::vector<std::int64_t>;
namespace CS = Modes::ColorSource;

class SettingsScreenTest : public test::ScreenTest {
protected:
    SettingsScreenTest()
        : ScreenTest(instantFromSeconds(1773165600)) // 2026-03-10 18:00 UTC
    {
        load(sample::database(60, start));
    }

    void open(bool colorOnly, const char* tab)
    {
        screen = std::make_unique<SettingsScreen>(store, colorOnly, QString::fromUtf8(tab));
        screen->resize(screen->wantedSize());
        screen->show();
    }
    template <typename Widget> Widget* find(const std::string& name) const
    {
        return test::child<Widget>(&*screen, name);
    }
    bool hidden(const char* name) const
    {
        QCoreApplication::processEvents();
        const auto* found = screen->findChild<QWidget*>(QString::fromUtf8(name));
        return !found || !found->isVisibleTo(screen.get());
    }
    bool shows(const char* text) const { return test::labels(screen.get()).contains(QString::fromUtf8(text)); }

    // Scrolled into view first; a switch reacts on its box and label, not across its whole row.
    static void click(QWidget* widget)
    {
        ASSERT_NE(widget, nullptr);
        for (QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget())
            if (auto* scroll = qobject_cast<QScrollArea*>(parent))
                scroll->ensureWidgetVisible(widget);
        const QPoint at = qobject_cast<QCheckBox*>(widget) ? QPoint(8, widget->height() / 2) : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }
    static void type(QLineEdit* field, const QString& text, bool enter = true)
    {
        field->setFocus();
        field->clear();
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

    std::unique_ptr<SettingsScreen> screen;
    QSettings preferences{QString::fromStdString((folder / "Vantory.conf").string()), QSettings::IniFormat};
};

TEST_F(SettingsScreenTest, DisplayControlsWriteTheStateFileAndRowsFollowTheirChoices)
{
    store.update([](Database& db) { db.settings.transitionStyle.reset(), db.settings.statusWidthMode.reset(); });
    open(false, SettingsTabs::display);
    click(find<QPushButton>("add-duration"));
    QTest::keyClick(find<QSpinBox>("duration-0"), Qt::Key_Up);
    click(find<QToolButton>("remove-duration-1"));
    QTest::keyClick(find<QSlider>("status-padding"), Qt::Key_Right);
    QTest::keyClick(find<QSlider>("status-font-size"), Qt::Key_Left);
    click(find<QCheckBox>("show-progress"));
    // The width slider only for a fixed width, the duration only with a transition.
    EXPECT_TRUE(hidden("status-width"));
    click(find<QPushButton>("width-mode-1"));
    QTest::keyClick(find<QSlider>("status-width"), Qt::Key_Right);
    choose(find<QComboBox>("transition-style"), 0);
    EXPECT_TRUE(hidden("transition-duration"));

    const Settings s = saved().settings; // the added slot holds 5 seconds
    EXPECT_EQ(std::tuple(s.durations, s.statusPadding, s.statusFontSize, s.showProgress, s.statusWidthMode,
                  s.statusWidth, s.transitionStyle),
        std::tuple(std::vector<double>{11, 5, 5}, 7, 11, true, Modes::Width::fixed, 285, Modes::Transition::none));
}

TEST_F(SettingsScreenTest, ConnectionTabSavesCourseNamesSwitchesTheIntervalAndTheZoneFoundByCity)
{
    store.update([](Database& db) { db.settings.syncMinutes = 5; });
    open(false, SettingsTabs::connection);
    const Course course = store.db().settings.courses.front();
    const auto name = [&] { return find<QLineEdit>("course-name-" + course.id); };
    type(name(), u"  "_s);
    EXPECT_EQ(store.db().settings.course(course.id)->name, course.name) << "a blank name keeps the last one";
    // A sync while a name is being typed neither drops the text nor the focus.
    type(name(), u"CPSC 221 A"_s, false);
    store.update([&](Database& db) { db.lastSync["sync"] = start; });
    EXPECT_TRUE(name()->text() == u"CPSC 221 A"_s && name()->hasFocus());
    QTest::keyClick(name(), Qt::Key_Return);
    click(find<QCheckBox>("course-enabled-" + course.id));
    // Canvas back on asks for a sync at once; the refresh button waits while one runs.
    int syncs = 0;
    store.sync = [&] { ++syncs; };
    click(find<QCheckBox>("canvas-enabled"));
    click(find<QCheckBox>("canvas-enabled"));
    store.setCanvasSyncing(true);
    EXPECT_EQ(std::tuple(syncs, find<QPushButton>("sync")->isEnabled()), std::tuple(1, false));
    EXPECT_EQ(find<QComboBox>("sync-minutes")->currentIndex(), -1) << "five minutes is none of the choices";
    choose(find<QComboBox>("sync-minutes"), 3);

    const auto search = [&] { return find<QLineEdit>("zone-search"); };
    type(search(), u"kolkata"_s, false); // ICU keeps Kolkata under its older id
    const QAbstractItemModel* shown = find<QListView>("zone-list")->model();
    ASSERT_EQ(shown->rowCount(), 1);
    EXPECT_EQ(shown->index(0, 0).data().toString(), u"Asia/Calcutta · GMT+5:30"_s);

    type(search(), u"seoul"_s);
    EXPECT_EQ(saved().settings.timeZone, "Asia/Seoul");
    EXPECT_TRUE(shows("자동 저장 · Seoul 시간 · v" VANTORY_VERSION) && search()->text().isEmpty())
        << "a choice ends the search";

    // Down enters the list, Enter there chooses; the default zone is not stored.
    type(search(), u"vancouver"_s, false);
    QTest::keyClick(search(), Qt::Key_Down);
    ASSERT_TRUE(find<QListView>("zone-list")->hasFocus());
    QTest::keyClick(find<QListView>("zone-list"), Qt::Key_Return);

    const Settings s = saved().settings;
    ASSERT_NE(s.course(course.id), nullptr);
    EXPECT_EQ(
        std::tuple(s.canvasEnabled, s.course(course.id)->name, s.course(course.id)->enabled, s.syncMinutes, s.timeZone),
        std::tuple(true, "CPSC 221 A", !course.enabled, 120, std::nullopt));
}

// What an address may be is the core's test; here, what the tab does with one, and that on a first
// launch the first one saved leads on to its sign-in, once.
TEST_F(SettingsScreenTest, SiteAddressesAreCheckedSavedAndTriedAndTheFirstLeadsToItsSignIn)
{
    store.update([](Database& db) {
        db.assessments.clear();
        db.settings.assessmentBaseURL = db.settings.canvasBaseURL = "";
    });
    const SiteChoice sites(store, {});
    std::vector<std::string> shown;
    store.connect = [&] { shown.push_back("assessment"); };
    store.connectCanvas = [&] { shown.push_back("canvas"); };
    FirstLaunch launch(store, [&] { shown.push_back("addresses"); });
    launch.start(false); // no sign-in window for a host that does not exist
    open(false, SettingsTabs::connection);
    const auto address = [&] { return find<QLineEdit>("assessment-address"); };
    type(address(), u"http://learn.school.edu"_s);
    EXPECT_TRUE(shows("https 주소만") && store.db().settings.assessmentBaseURL.value_or("").empty());
    EXPECT_EQ(address()->text(), u"http://learn.school.edu"_s) << "a refused address stays to be mended";

    type(address(), u"Learn.School.edu"_s);
    EXPECT_EQ(std::tuple(saved().settings.assessmentBaseURL, address()->text().toStdString()),
        std::tuple("https://learn.school.edu/", "https://learn.school.edu/"));
    type(find<QLineEdit>("canvas-address"), u"canvas.school.edu"_s);
    EXPECT_EQ(shown, (std::vector<std::string>{"addresses", "assessment"}));
    type(find<QLineEdit>("canvas-address"), QString());
    EXPECT_FALSE(find<QCheckBox>("canvas-enabled")->isVisibleTo(screen.get())) << "no Canvas without its address";

    std::function<void(bool, std::string)> report;
    store.checkAddress = [&](Site site, const std::string& checked, auto done) {
        EXPECT_EQ(std::tuple(site, checked), std::tuple(Site::assessment, "https://learn.school.edu/"));
        report = std::move(done);
    };
    const auto check = [&] { return find<QPushButton>("assessment-address-check"); };
    click(check());
    EXPECT_FALSE(check()->isEnabled()) << "one check at a time";
    ASSERT_TRUE(report);
    report(false, "연결 실패 · 사이트 주소를 찾을 수 없습니다 (오류 -105)");
    EXPECT_TRUE(check()->isEnabled() && shows("사이트 주소를 찾을 수 없습니다"));
}

TEST_F(SettingsScreenTest, CalendarServerIsCheckedChosenWithItsPasswordKeptAsideAndTurnedOff)
{
    std::vector<std::tuple<std::string, std::string, std::string>> checks;
    std::function<void(CalendarServerCheck)> answer;
    store.checkCalendarServer = [&](const CalendarServerLogin& login, auto done) {
        checks.emplace_back(login.address, login.user, login.password);
        answer = std::move(done);
    };
    std::vector<std::string> kept;
    store.keepCalendarPassword = [&](const std::string& password, auto done) {
        kept.push_back(password);
        done(false, "비밀 저장소가 없어 이번 실행 동안만 기억합니다");
    };
    int syncs = 0;
    store.syncCalendarServer = [&] { ++syncs; };
    open(false, SettingsTabs::connection);
    const auto field = [&](const char* name) { return find<QLineEdit>(name); };
    const auto check = [&] { return find<QPushButton>("calendar-check"); };
    type(field("calendar-address"), u"http://cloud.example.com/dav/"_s);
    click(check());
    EXPECT_TRUE(shows("https 주소만") && checks.empty()) << "a refused address is neither checked nor saved";

    type(field("calendar-address"), u"https://cloud.example.com/dav/"_s);
    type(field("calendar-user"), u" student "_s);
    type(field("calendar-password"), u"pa55-word"_s); // Enter checks
    EXPECT_EQ(field("calendar-password")->echoMode(), QLineEdit::Password);
    click(check());
    EXPECT_EQ(check()->text(), u"확인 중…"_s);
    ASSERT_EQ(checks, (decltype(checks){{"https://cloud.example.com/dav/", "student", "pa55-word"}}))
        << "one check at a time";
    answer({false, "연결 실패 · 사용자 이름이나 암호가 맞지 않습니다 (HTTP 401)", {}, {}});
    EXPECT_TRUE(shows("암호가 맞지 않습니다 (HTTP 401)") && check()->text() == u"연결 확인"_s);
    EXPECT_FALSE(store.db().settings.calendarServerURL) << "a failed check saves nothing";

    click(check());
    const std::string tasks = "https://cloud.example.com/dav/student/tasks/";
    answer({true, "연결됨", "https://cloud.example.com/dav/student/", {{tasks, "할 일"}}});
    click(find<QPushButton>("calendar-collection-0"));
    const Settings s = saved().settings;
    EXPECT_EQ(std::tuple(s.calendarServerURL, s.calendarServerUser, kept, syncs),
        std::tuple(tasks, "student", std::vector<std::string>{"pa55-word"}, 1));
    EXPECT_TRUE(shows("이번 실행 동안만") && find<QPushButton>("calendar-collection-0")->isChecked());
    // A collection made in the home the check found is chosen at once; what the sync knew of the
    // last one goes with it.
    store.update([](Database& db) { db.calendarServer.emplace().syncToken = "token-of-tasks"; });
    store.createCalendarCollection
        = [&](const CalendarServerLogin&, const std::string& home, auto done) { done(home + "vantory/", ""); };
    click(find<QPushButton>("calendar-create"));
    EXPECT_EQ(std::tuple(saved().settings.calendarServerURL, saved().calendarServer.has_value(),
                  find<QPushButton>("calendar-collection-1")->text()),
        std::tuple("https://cloud.example.com/dav/student/vantory/", false, u"Vantory"_s));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path()))
        EXPECT_FALSE(entry.is_regular_file() && test::contents(entry.path().string()).find("pa55") != std::string::npos)
            << entry.path();

    click(find<QPushButton>("calendar-off"));
    EXPECT_EQ(std::tuple(saved().settings.calendarServerURL, saved().settings.calendarServerUser),
        std::tuple(std::nullopt, std::nullopt));
    EXPECT_TRUE(shows("서버에 있는 할 일은 지우지 않습니다") && check()->hasFocus());
}

TEST_F(SettingsScreenTest, LaunchAtLoginWritesAndRemovesTheEntryOrShowsWhyItCannot)
{
    open(false, SettingsTabs::connection);
    const QString entry = QString::fromStdString((folder / "config/autostart/vantory.desktop").string());
    const auto launch = [&] { return find<QCheckBox>("launch-at-login"); };
    click(launch());
    const QString text = QString::fromStdString(test::contents(entry.toStdString()));
    EXPECT_TRUE(text.startsWith(u"[Desktop Entry]\n"_s) && launch()->isChecked()
        && text.contains(u"Exec=\"%1\"\n"_s.arg(QCoreApplication::applicationFilePath())))
        << text.toStdString();
    click(launch());
    EXPECT_FALSE(QFile::exists(entry) || launch()->isChecked());

    // A file where the autostart folder should be.
    const QString autostart = QFileInfo(entry).path();
    ASSERT_TRUE(QDir(autostart).removeRecursively() && QFile(autostart).open(QIODevice::WriteOnly));
    click(launch());
    EXPECT_TRUE(!launch()->isChecked() && shows("자동 실행 항목을 저장하지 못했습니다"));

    EXPECT_EQ(Autostart::execValue(u"/a$b/100%/c\"d"_s), u"\"/a\\\\$b/100%%/c\\\\\"d\""_s);
    EXPECT_EQ(Autostart::execValue(u"/a\nb"_s), QString()) << "no line break into the entry";
}

TEST_F(SettingsScreenTest, ReminderLeadsAreChosenFromTheKeyboardAndKeepOnesTheTabDoesNotOffer)
{
    store.update([](Database& db) { db.settings.reminderMinutes.reset(); });
    open(false, SettingsTabs::reminders);
    const auto day = [&] { return find<QCheckBox>("reminder-1440"); };
    day()->setFocus();
    QTest::keyClick(day(), Qt::Key_Space);
    EXPECT_TRUE(day()->isChecked() && day()->hasFocus()) << "the rebuilt box keeps the focus";
    click(find<QCheckBox>("reminder-15"));
    EXPECT_EQ(saved().settings.reminderMinutes, (Leads{15, 1440}));

    store.update([](Database& db) { db.settings.reminderMinutes->push_back(30); });
    click(find<QCheckBox>("reminder-15"));
    click(day());
    EXPECT_EQ(saved().settings.reminderMinutes, Leads{30});
}

TEST_F(SettingsScreenTest, TimeRulesResetAddRemoveAndThePreviewFollows)
{
    open(true, SettingsTabs::timeColors);
    // The preview is the line ten hours before a deadline; its time text takes the rule's colour.
    const auto* preview = screen->findChild<StatusContentView*>();
    ASSERT_NE(preview, nullptr);
    const auto coloured = [&](const std::string& hex) {
        QCoreApplication::processEvents();
        return std::ranges::any_of(preview->current().runs, [&](const StatusRun& run) { return run.colorHex == hex; });
    };
    EXPECT_TRUE(coloured(Engine::hex(10 * 3600, store.db().settings)));
    pickColor(find<ColorWell>("rule-time-0"), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(coloured("123456"));

    click(find<QPushButton>("reset-rules"));
    click(find<QPushButton>("add-rule"));
    // Clamped as the core clamps, and the field shows what was kept.
    type(find<QLineEdit>("rule-hours-2"), u"0"_s);
    EXPECT_EQ(find<QLineEdit>("rule-hours-2")->text(), u"0.1"_s);
    pickColor(find<ColorWell>("rule-dot-0"), QColor(0x12, 0x80, 0xFE));
    click(find<QToolButton>("rule-remove-1"));
    const auto rules = *saved().settings.pairedRules;
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(std::tuple(rules[0].hours, rules[0].dotHex, rules[1].hours), std::tuple(12, "1280FE", 0.1));
}

TEST_F(SettingsScreenTest, CategoryStylesInTheAllScopeReplaceCourseEntries)
{
    const std::vector<std::string> categories = CategoryColorTab::scopedCategories(store, "all");
    const Assessment item = *store.enabled().front();
    const std::string category = item.category, courseKey = item.courseID + "|" + category;
    const auto styleCourse = [&] {
        store.update([&](Database& db) {
            db.settings.categoryStyles = std::map<std::string, CategoryStyle>{{courseKey, {CS::custom, "1"}}};
        });
    };
    styleCourse();
    open(true, SettingsTabs::categoryColors);
    // The course's own entry falls back to the common style.
    QComboBox* scope = find<QComboBox>("category-scope");
    choose(scope, scope->findText(QString::fromStdString(store.db().settings.course(item.courseID)->name)));
    click(find<QPushButton>("use-common-" + category));
    EXPECT_FALSE(saved().settings.categoryStyles->contains(courseKey));

    styleCourse();
    choose(find<QComboBox>("category-scope"), 0);
    find<ColorModeMenu>("category-mode-" + category)->optionsMenu()->actions().at(1)->trigger(); // 캘린더 과목색
    const auto styles = *saved().settings.categoryStyles;
    EXPECT_TRUE(!styles.contains(courseKey) && styles.at("all|" + category) == (CategoryStyle{CS::calendar, "FFFFFF"}));

    // The bulk action gives every listed category the chosen style.
    choose(find<QComboBox>("bulk-mode"), 3);
    pickColor(find<ColorWell>("bulk-color"), QColor(0xAB, 0xCD, 0xEF));
    click(find<QPushButton>("bulk-apply"));
    for (const std::string& each : categories)
        EXPECT_EQ(saved().settings.categoryStyles->at("all|" + each), (CategoryStyle{CS::custom, "ABCDEF"}));

    click(find<QCheckBox>("exclude-" + category));
    EXPECT_EQ(saved().settings.excludedCategories.back(), category);
}

TEST_F(SettingsScreenTest, ColourWindowOffersOnlyItsTabsFollowsTheTabAndSavesCourseColours)
{
    const SettingsScreen settings(store, false, QString::fromUtf8(SettingsTabs::timeColors));
    EXPECT_EQ(settings.tab(), QString::fromUtf8(SettingsTabs::display)) << "not a tab of the settings window";
    auto* colors = new SettingsScreen(store, true);
    QTabBar* tabs = colors->findChild<QTabBar*>();
    EXPECT_EQ(tabs->count(), 3);

    ScreenWindow window(u"Vantory 색상"_s, colors, colors->wantedSize());
    window.show();
    const QSize before = window.size();
    tabs->setCurrentIndex(2);
    EXPECT_TRUE(window.size() == colors->wantedSize() && window.size() != before);
    EXPECT_FALSE(WindowSize::fit(colors, colors->wantedSize() + QSize(1, -1))) << "within a point";

    open(true, SettingsTabs::courseColors);
    const std::string id = store.db().settings.courses.front().id;
    pickColor(find<ColorWell>("calendar-" + id), QColor(0x80, 0x80, 0x80));
    find<ColorModeMenu>("menu-mode-" + id)->optionsMenu()->actions().at(2)->trigger();
    pickColor(find<ColorWell>("menu-" + id), QColor(0x01, 0x02, 0x03));
    EXPECT_TRUE(hidden("uniform-calendar"));
    click(find<QCheckBox>("uniform-colors"));
    pickColor(find<ColorWell>("uniform-calendar"), QColor(0xFE, 0xDC, 0xBA));

    const Settings s = saved().settings;
    ASSERT_NE(s.course(id), nullptr);
    const Course& c = *s.course(id);
    EXPECT_EQ(std::tuple(c.colorHex, c.menuColorMode, c.menuColorHex, s.uniformCourseColors, s.uniformCalendarHex),
        std::tuple("808080", CS::custom, "010203", true, "FEDCBA"));
    ColorModeMenu menu(true); // a mode outside its list shows as a direct choice, nothing checked
    menu.setMode(CS::course);
    EXPECT_TRUE(
        menu.text() == u"직접 선택"_s && std::ranges::none_of(menu.optionsMenu()->actions(), &QAction::isChecked));
}

TEST_F(SettingsScreenTest, ColourWindowsSchemeChoiceTurnsTheOpenWindowsAndIsKept)
{
    DesktopColorScheme scheme(preferences);
    screen = std::make_unique<SettingsScreen>(store, true, QString(), &scheme);
    screen->show();
    QComboBox* picker = find<QComboBox>("color-scheme");
    ASSERT_NE(picker, nullptr);
    const auto dark = [this] { return QCoreApplication::processEvents(), SchemePalettes::isDark(screen->palette()); };
    EXPECT_TRUE(picker->currentText() == u"시스템 설정"_s && !dark());
    choose(picker, 2);
    EXPECT_TRUE(dark() && preferences.value(QStringLiteral("appearance/colorScheme")).toString() == u"dark"_s);
    choose(picker, 0);
    EXPECT_FALSE(dark());
    open(false, SettingsTabs::display);
    EXPECT_TRUE(hidden("color-scheme")) << "the settings window has no scheme choice";
}

TEST_F(SettingsScreenTest, DisplayTabsLanguageChoiceShowsTheKeptOneAndAppliesAPickThatRebuildsIt)
{
    preferences.setValue(QStringLiteral("language"), QStringLiteral("ko"));
    DesktopLanguage language(preferences);
    screen = std::make_unique<SettingsScreen>(store, false, QString(), nullptr, &language);
    screen->show();
    QComboBox* picker = find<QComboBox>("language");
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->currentText(), u"한국어"_s);
    // As the shell does, the switch builds the window anew: the picker goes while it handles the key.
    QObject::connect(&language, &DesktopLanguage::changed, [this] { screen.reset(); });
    QTest::keyClick(picker, Qt::Key_Down);
    const bool english = vantory::language() == Language::english;
    const QString kept = preferences.value(QStringLiteral("language")).toString();
    language.setChoice(LanguageChoice::korean); // the other tests read Korean
    EXPECT_TRUE(english && kept == u"en"_s) << kept.toStdString();
    open(false, SettingsTabs::display);
    EXPECT_TRUE(hidden("language")) << "no choice without a language to set";
}

} // namespace
} // namespace vantory
