// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Dates.h"
#include "ui/Dashboard.h"
#include "ui/DashboardItems.h"
#include "ui/DeadlineList.h"
#include "ui/EditAssessment.h"
#include "ui/ExportScreen.h"
#include "ui/KeyboardConventions.h"
#include "ui/MonthCalendar.h"
#include "ui/ScreenWindow.h"
#include "ui/SettingsScreen.h"

#include "AccessibleEvents.h"
#include "ScreenTest.h"

#include "desktop/Legibility.h"
#include "desktop/SchemePalettes.h"

namespace vantory {
namespace {

using namespace std::chrono_literals;

// Wednesday 2025-10-15 12:00 in Vancouver (19:00 UTC).
const Instant now = instantFromSeconds(1760554800);

// What a screen reader finds below `node`: visible controls it cannot name, and the texts of the rest.
void read(QAccessibleInterface* node, QStringList& unnamed, QStringList& texts)
{
    static const QList<QAccessible::Role> controls{QAccessible::PushButton, QAccessible::CheckBox,
        QAccessible::RadioButton, QAccessible::ComboBox, QAccessible::SpinBox, QAccessible::Slider,
        QAccessible::EditableText, QAccessible::List, QAccessible::ListItem, QAccessible::PageTab,
        QAccessible::ButtonMenu, QAccessible::ButtonDropDown, QAccessible::ProgressBar};
    for (int index = 0; index < node->childCount(); ++index) {
        QAccessibleInterface* child = node->child(index);
        if (!child || child->state().invisible)
            continue;
        if (child->state().focusable || controls.contains(child->role())) {
            const QString name = child->text(QAccessible::Name).trimmed();
            if (name.isEmpty())
                unnamed << u"%1 (role %2)"_s.arg(child->object() ? child->object()->objectName() : QString())
                               .arg(child->role());
            texts << name << child->text(QAccessible::Description);
        }
        read(child, unnamed, texts);
    }
}

// How many pixels of `area` a focus changes to at least 3:1 against what they were: a ring that
// stands out has as many as its outline at least.
int ringPixels(QWidget* widget, QRect area, const std::function<void()>& focus)
{
    const QImage before = widget->grab(area).toImage();
    focus();
    const QImage after = widget->grab(area).toImage();
    int count = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            count += Legibility::contrastRatio(before.pixelColor(x, y), after.pixelColor(x, y)) >= 3;
    return count;
}

class AccessibilityTest : public test::ScreenTest {
protected:
    AccessibilityTest()
        : ScreenTest(now)
    {
        load(sample::database(200, now));
    }

    // A screen in its window, shown and active as the user meets it.
    template <typename Screen> Screen* present(Screen* screen, QSize size = {500, 700})
    {
        window = std::make_unique<ScreenWindow>(u"Vantory"_s, screen, size);
        window->present();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return screen;
    }
    Dashboard* dashboard() { return present(new Dashboard(store), {}); }
    QWidget* settings(bool colorOnly, const char* tab)
    {
        return present(new SettingsScreen(store, colorOnly, QString::fromUtf8(tab)));
    }

    // Where the keys go: the focused widget, or the window when nothing holds the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : window.get(), key, modifiers);
    }
    static QString dayName(MonthCalendar* calendar, std::int64_t day)
    {
        return calendar->dayButton(static_cast<int>(day - calendar->month().firstDay) + 1)->accessibleName();
    }
    static QAccessibleInterface* accessible(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
    static QToolButton* button(const QWidget* parent, const QString& name)
    {
        for (QToolButton* candidate : parent->findChildren<QToolButton*>())
            if (accessible(candidate)->text(QAccessible::Name) == name)
                return candidate;
        ADD_FAILURE() << name.toStdString();
        return nullptr;
    }

    // Puts the focus on `control` as Tab would and forgets what that said.
    void focus(QWidget* control)
    {
        ASSERT_NE(control, nullptr);
        control->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        events.take();
    }
    // What a key said, once the screens have followed the Store.
    std::vector<test::AccessibleEvents::Event> spoken(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        press(key, modifiers);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return events.take();
    }
    static std::string describe(const std::vector<test::AccessibleEvents::Event>& said)
    {
        std::string text;
        for (const auto& each : said)
            text += u"\n  0x%1 %2 \"%3\"%4"_s.arg(each.type, 0, 16)
                        .arg(each.object ? each.object->objectName() : u"(gone)"_s, each.name,
                            each.shown ? QString() : u" hidden"_s)
                        .toStdString();
        return text;
    }

    test::AccessibleEvents events;
    const KeyboardConventions keyboard;
    Dashboard* shown = nullptr;
    std::unique_ptr<ScreenWindow> window;
    std::unique_ptr<EditAssessment> sheet;
    const std::int64_t today = Dates::dayNumber(now, Zone());
};

TEST_F(AccessibilityTest, EveryVisibleControlOfEveryWindowHasANameAndStatesAreSpoken)
{
    store.update([](Database& db) {
        db.settings.showReleases = true;
        db.settings.transitionStyle = "fade";
        db.settings.pairedRules = {{"r1", 72, "FFFFFF", "FFFFFF"}};
        db.assessments.front().release = now + 1h;
    });
    const auto editSheet = [this]() -> QWidget* {
        window.reset();
        sheet = std::make_unique<EditAssessment>(store, store.db().assessments.front());
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
        EXPECT_EQ(QApplication::focusWidget(), sheet->customSwitch()) << "the first choice has the focus";
        return sheet.get();
    };
    const std::tuple<const char*, std::function<QWidget*()>, QStringList> cases[]
        = {{"dashboard", [this] { return dashboard(); },
               {u"더블클릭하여 과제 페이지 열기. Space 완료, Enter 열기, 메뉴 키 또는 Shift+F10"_s}},
            {"edit sheet", editSheet, {u"마감"_s, u"마감 직접 설정"_s}},
            {"display", [this] { return settings(false, SettingsTabs::display); }, {}},
            {"connection", [this] { return settings(false, SettingsTabs::connection); }, {}},
            {"reminders", [this] { return settings(false, SettingsTabs::reminders); }, {}},
            {"course colours", [this] { return settings(true, SettingsTabs::courseColors); }, {}},
            {"category colours", [this] { return settings(true, SettingsTabs::categoryColors); }, {}},
            {"time colours", [this] { return settings(true, SettingsTabs::timeColors); },
                {u"72시간 이하 조건"_s, u"72시간 이하 조건 삭제"_s}},
            {"export", [this] { return present(new ExportScreen(store, {}, nullptr, [] { return now; })); }, {}}};
    for (const auto& [name, open, spoken] : cases) {
        QWidget* shown = open()->window();
        EXPECT_TRUE(shown->testAttribute(Qt::WA_KeyboardFocusChange)) << name << ": focus drawn from the start";
        QStringList unnamed, texts;
        read(QAccessible::queryAccessibleInterface(shown), unnamed, texts);
        EXPECT_TRUE(unnamed.isEmpty()) << name << ": " << unnamed.join(u", ").toStdString();
        for (const QString& text : spoken)
            EXPECT_TRUE(texts.contains(text)) << name << ": " << text.toStdString();
    }

    // Today's cell, then the one picked, speak their state and counts; a slider speaks its unit.
    MonthCalendar* calendar = dashboard()->calendar();
    EXPECT_TRUE(dayName(calendar, today).contains(QRegularExpression(u"^10월 15일, 오늘, 마감 .*, 공개 1개$"_s)));
    QTest::mouseClick(calendar->dayButton(static_cast<int>(today - calendar->month().firstDay) + 2), Qt::LeftButton);
    EXPECT_TRUE(dayName(calendar, today + 1).startsWith(u"10월 16일, 선택됨, 마감 "_s));
    QWidget* display = settings(false, SettingsTabs::display);
    QTest::keyClick(test::child<QSlider>(display, "transition-duration"), Qt::Key_Right);
    EXPECT_EQ(test::child<QSlider>(display, "transition-duration")->accessibleDescription(), u"0.4초"_s);

    // The export's drop-downs are labelled by their labels: on Linux Qt names a combo box by its value.
    auto* exported = present(new ExportScreen(store, {}, nullptr, [] { return now; }));
    QStringList labelled;
    for (QComboBox* menu : {exported->courseMenu(), exported->alarmMenu()})
        for (const auto& [label, relation] : QAccessible::queryAccessibleInterface(menu)->relations(QAccessible::Label))
            labelled << label->text(QAccessible::Name);
    EXPECT_EQ(labelled, (QStringList{u"과목"_s, u"알림"_s}));
}

TEST_F(AccessibilityTest, AnIdleListHearsNoFocusOrSelectionWhileTheClockTicks)
{
    shown = dashboard();
    DeadlineList* list = shown->list();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(3, 0));
    const QString current = list->currentIndex().data().toString();
    // Counted at their source: the offscreen platform has no bridge to carry them to a screen reader.
    QSignalSpy moved(list->selectionModel(), &QItemSelectionModel::currentChanged);
    QSignalSpy selected(list->selectionModel(), &QItemSelectionModel::selectionChanged);
    QSignalSpy reset(list->model(), &QAbstractItemModel::modelReset);
    // Ticks within the day, then one past midnight, which moves today but no row.
    for (const std::chrono::seconds step : {5s, 5s, 5s, 60s, 43200s}) {
        store.setNow(store.now() + step);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(std::tuple(moved.count(), selected.count(), reset.count(), list->hasFocus()), std::tuple(0, 0, 0, true));
    EXPECT_EQ(list->currentIndex().data().toString(), current);
    EXPECT_TRUE(dayName(shown->calendar(), today + 1).startsWith(u"10월 16일, 오늘, "_s));
}

TEST_F(AccessibilityTest, KeysReachEveryControlAndOpenMenusTabsAndClose)
{
    shown = dashboard();
    // Round the window each way from the refresh button: the calendar's header and one day on the way.
    QStringList order{u"오늘"_s, u"이전 달"_s, u"다음 달"_s, u"10월 15일"_s};
    const QString start = u"지금 새로고침"_s;
    const auto focusName = [] { return qApp->focusWidget() ? qApp->focusWidget()->accessibleName() : QString(); };
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        button(shown, start)->setFocus(Qt::TabFocusReason);
        QStringList met;
        for (int steps = 0; steps < 100 && (steps == 0 || focusName() != start); ++steps) {
            press(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            if (const QString name = focusName().section(u',', 0, 0); order.contains(name))
                met << name;
        }
        EXPECT_EQ(focusName(), start) << "Tab comes round";
        EXPECT_EQ(met, order) << "key " << key;
        std::reverse(order.begin(), order.end());
    }

    // Shift+F10 is the menu key of keyboards without one; F10 alone is not.
    shown->list()->setFocus();
    shown->list()->setCurrentIndex(shown->list()->model()->index(0, 0));
    press(Qt::Key_F10);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    press(Qt::Key_F10, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->activeAction(), menu->actions().constFirst()) << "opened by a key, it starts on its first item";
    menu->close();
    // Enter presses a button as Space does; the header's menu runs its own loop, looked into by a timer.
    QString active;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            active = open->activeAction() ? open->activeAction()->text() : u"none"_s;
            open->close();
        }
    });
    look.start(10);
    button(shown, u"더 보기"_s)->setFocus();
    press(Qt::Key_Enter);
    EXPECT_EQ(active, u"iPhone 캘린더 내보내기 (.ics)"_s);
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "Escape closes the calendar window";

    // Settings tabs step from a number field too, which keeps PgUp and PgDn for itself otherwise.
    auto* settings = present(new SettingsScreen(store, false));
    EXPECT_EQ(QApplication::focusWidget(), settings->findChild<QTabBar*>()) << "the window opens on its tabs";
    test::child<QSpinBox>(settings, "duration-0")->setFocus();
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, const char*> steps[]
        = {{Qt::Key_Tab, Qt::ControlModifier, SettingsTabs::connection},
            {Qt::Key_PageDown, Qt::ControlModifier, SettingsTabs::reminders},
            {Qt::Key_Tab, Qt::ControlModifier, SettingsTabs::display},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, SettingsTabs::reminders},
            {Qt::Key_PageUp, Qt::ControlModifier, SettingsTabs::connection}};
    events.take();
    for (const auto& [key, modifiers, tab] : steps) {
        press(key, modifiers);
        EXPECT_EQ(settings->tab(), QString::fromUtf8(tab)) << key;
        EXPECT_EQ(QApplication::focusWidget(), settings->findChild<QTabBar*>()) << "the tabs say where it went";
    }
    // Building a tab on the way (the zone list among it) reports no focus of its own.
    for (const auto& each : events.take())
        EXPECT_TRUE(each.type != QAccessible::Focus || each.object == settings->findChild<QTabBar*>())
            << each.name.toStdString();
}

// A change is spoken by the control that made it, which keeps the focus; the rest of the tab
// follows in place, and only what the change touched says so (a caption renamed, a row hidden).
TEST_F(AccessibilityTest, ASettingsChangeIsSpokenByItsControlAloneWhichKeepsTheFocus)
{
    store.update([](Database& db) {
        db.settings.transitionStyle = "fade";
        db.settings.transitionDuration = 0.6;
    });
    const std::tuple<bool, const char*, const char*, Qt::Key> changes[]
        = {{false, SettingsTabs::display, "show-progress", Qt::Key_Space},
            {false, SettingsTabs::display, "alignment-0", Qt::Key_Space},
            {false, SettingsTabs::display, "transition-duration", Qt::Key_Right},
            {false, SettingsTabs::display, "duration-0", Qt::Key_Up},
            {false, SettingsTabs::connection, "canvas-enabled", Qt::Key_Space},
            {false, SettingsTabs::reminders, "reminder-60", Qt::Key_Space},
            {true, SettingsTabs::timeColors, "linked-colors", Qt::Key_Space}};
    for (const auto& [colorOnly, tab, name, key] : changes) {
        QWidget* control = test::child<QWidget>(settings(colorOnly, tab), name);
        focus(control);
        const auto said = spoken(key);
        const auto count = [&](QAccessible::Event type) {
            return std::ranges::count_if(said, [&](const auto& each) { return each.type == type; });
        };
        EXPECT_EQ(QApplication::focusWidget(), control) << name;
        EXPECT_EQ(
            count(QAccessible::Focus) + count(QAccessible::ObjectCreated) + count(QAccessible::ObjectDestroyed), 0)
            << name << describe(said);
        EXPECT_LE(said.size(), 8u) << name << describe(said);
    }
    // The segment chosen is a checked radio button named by its text.
    QWidget* display = settings(false, SettingsTabs::display);
    QAccessibleInterface* left = QAccessible::queryAccessibleInterface(test::child<QWidget>(display, "alignment-0"));
    EXPECT_EQ(std::tuple(left->role(), left->state().checked, left->text(QAccessible::Name)),
        std::tuple(QAccessible::RadioButton, true, u"왼쪽"_s));
    // A slider gives its value in its unit, not the step it is at, and keeps it decimal: 0.1 plus six
    // steps of 0.1 is 0.7000000000000001 in binary.
    QAccessibleInterface* duration
        = QAccessible::queryAccessibleInterface(test::child<QWidget>(display, "transition-duration"));
    EXPECT_EQ(std::tuple(duration->valueInterface()->currentValue().toDouble(), store.db().settings.transitionDuration),
        std::tuple(0.7, 0.7));
}

// Rows that come and go keep their place in Tab order, and the focus stays with the row.
TEST_F(AccessibilityTest, RowsThatComeAndGoKeepTheTabOrderAndTheFocus)
{
    QWidget* colors = settings(true, SettingsTabs::timeColors);
    const auto focused
        = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); };
    focus(test::child<QWidget>(colors, "add-rule"));
    spoken(Qt::Key_Space);
    EXPECT_EQ(focused(), u"add-rule"_s);
    focus(test::child<QWidget>(colors, "linked-colors"));
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), u"rule-hours-0"_s) << "the rows come after the switch, as built";
    focus(test::child<QWidget>(colors, "rule-remove-0"));
    const auto said = spoken(Qt::Key_Space);
    EXPECT_EQ(focused(), u"rule-remove-0"_s) << "on the row now in its place";
    EXPECT_TRUE(std::ranges::any_of(said, [](const auto& each) {
        return each.type == QAccessible::Focus && each.name.endsWith(u"시간 이하 조건 삭제"_s);
    })) << describe(said);
}

// A closed window hears the Store change without a word: no focus, no name, no state; it catches
// up when it opens again.
TEST_F(AccessibilityTest, AHiddenWindowStaysSilentAndCatchesUpWhenShown)
{
    QWidget* connection = settings(false, SettingsTabs::connection);
    focus(test::child<QWidget>(connection, "zone-list"));
    window->close();
    QCoreApplication::processEvents();
    events.take();
    store.setBrevaneSyncing(true);
    store.setStatus("최근 업데이트 완료");
    store.update([](Database& db) { db.lastSync["sync"] = now; });
    store.setBrevaneSyncing(false);
    store.setNow(now + 1min);
    QCoreApplication::processEvents();
    EXPECT_EQ(describe(events.take()), "");

    window->present();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(test::labels(connection).contains(u"최근 업데이트 완료"_s)
        && QApplication::focusWidget() == test::child<QWidget>(connection, "zone-list"));
}

TEST_F(AccessibilityTest, ChoicesAreRadioButtonsByTheirTextsAndRowsAndDaysSayTheirStates)
{
    shown = dashboard();
    EXPECT_EQ(accessible(window.get())->role(), QAccessible::Window);
    for (const QString& name : {u"전체"_s, u"예정"_s, u"마감 미확인"_s, u"지난 마감"_s, u"완료·숨김"_s, u"일정순"_s,
             u"과목순"_s, u"카테고리순"_s, u"이름순"_s}) {
        QAccessibleInterface* choice = accessible(button(shown, name));
        EXPECT_EQ(std::tuple(choice->role(), choice->state().checked),
            std::tuple(QAccessible::RadioButton, name == u"전체"_s || name == u"일정순"_s))
            << name.toStdString();
    }
    EXPECT_EQ(accessible(button(shown, u"예정"_s))->text(QAccessible::Description), u"다가오는 마감"_s);

    // Space marks the current row done: its checked state says so.
    DeadlineList* list = shown->list();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(2, 0));
    const auto checked = [&] { return accessible(list)->child(list->currentIndex().row())->state().checked; };
    const bool before = checked();
    events.take();
    press(Qt::Key_Space);
    EXPECT_NE(checked(), before);
    EXPECT_TRUE(std::ranges::any_of(events.take(), [&](const auto& each) {
        return each.type == QAccessible::StateChanged && each.object == list
            && each.child == list->currentIndex().row();
    })) << "and says that it changed";

    MonthCalendar* calendar = shown->calendar();
    QWidget* tomorrow = calendar->dayButton(static_cast<int>(today - calendar->month().firstDay) + 2);
    QTest::mouseClick(tomorrow, Qt::LeftButton);
    EXPECT_TRUE(accessible(tomorrow)->state().selected && !accessible(calendar->dayButton(1))->state().selected);
}

TEST_F(AccessibilityTest, FocusStaysAtTheRowActedOnAndOnTheRefreshButtonThroughASync)
{
    // Done under "예정", the row leaves: the keyboard stays at its place, on the next row.
    shown = dashboard();
    button(shown, u"예정"_s)->click();
    DeadlineList* list = shown->list();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(1, 0));
    const std::string next = DashboardItems::visible(store, DashboardItems::Filter::upcoming, std::nullopt).at(2).id;
    press(Qt::Key_Space);
    const auto rows = DashboardItems::visible(store, DashboardItems::Filter::upcoming, std::nullopt);
    EXPECT_EQ(std::tuple(rows.at(static_cast<std::size_t>(list->currentIndex().row())).id, list->hasFocus()),
        std::tuple(next, true));

    // A sync disables the refresh button: the progress bar holds the focus and hands it back.
    QToolButton* refresh = button(shown, u"지금 새로고침"_s);
    refresh->setFocus();
    for (const bool syncing : {true, false}) {
        store.setBrevaneSyncing(syncing);
        EXPECT_EQ(
            QApplication::focusWidget(), syncing ? static_cast<QWidget*>(shown->findChild<QProgressBar*>()) : refresh);
    }
}

TEST_F(AccessibilityTest, TheFocusedRowAndDayHaveAVisibleRingInEitherPalette)
{
    const QPalette original = QApplication::palette();
    for (const QPalette& palette : {SchemePalettes::light(), SchemePalettes::dark()}) {
        QApplication::setPalette(palette);
        shown = dashboard();
        button(shown, u"지금 새로고침"_s)->setFocus();
        DeadlineList* list = shown->list();
        const QRect row = list->visualRect(list->model()->index(0, 0));
        EXPECT_GE(ringPixels(list->viewport(), row, [&] { list->setFocus(); }), 2 * (row.width() + row.height()));
        QWidget* day = shown->calendar()->dayButton(1);
        EXPECT_GE(ringPixels(day, day->rect(), [&] { day->setFocus(); }), 2 * (day->width() + day->height()));
    }
    QApplication::setPalette(original);
}

} // namespace
} // namespace vantory
