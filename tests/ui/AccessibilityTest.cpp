#include "model/Dates.h"
#include "ui/Dashboard.h"
#include "ui/DeadlineList.h"
#include "ui/EditAssessment.h"
#include "ui/ExportScreen.h"
#include "ui/MonthCalendar.h"
#include "ui/ScreenWindow.h"
#include "ui/SettingsScreen.h"

#include "ScreenTest.h"

#include <QAccessible>
#include <QSignalSpy>

#include <functional>

namespace vantory {
namespace {

using namespace std::chrono_literals;

// Wednesday 2025-10-15 12:00 in Vancouver (19:00 UTC).
const Instant now = instantFromSeconds(1760554800);

// What a screen reader finds in a window: the visible controls it cannot name, and the names and
// descriptions of those it can.
struct Reading {
    QStringList unnamed;
    QStringList texts;
};

bool isControl(const QAccessibleInterface& node)
{
    static const QAccessible::Role roles[] = {QAccessible::PushButton, QAccessible::CheckBox, QAccessible::RadioButton,
        QAccessible::ComboBox, QAccessible::SpinBox, QAccessible::Slider, QAccessible::EditableText, QAccessible::List,
        QAccessible::ListItem, QAccessible::PageTab, QAccessible::ButtonMenu, QAccessible::ButtonDropDown,
        QAccessible::ProgressBar};
    return node.state().focusable || std::find(std::begin(roles), std::end(roles), node.role()) != std::end(roles);
}

void read(QAccessibleInterface* node, Reading& reading)
{
    for (int index = 0; index < node->childCount(); ++index) {
        QAccessibleInterface* child = node->child(index);
        if (!child || child->state().invisible)
            continue;
        if (isControl(*child)) {
            const QString name = child->text(QAccessible::Name).trimmed();
            if (name.isEmpty()) {
                const QObject* object = child->object();
                reading.unnamed << QStringLiteral("%1 (role %2) %3")
                                       .arg(QString::fromUtf8(object ? object->metaObject()->className() : "item"))
                                       .arg(child->role())
                                       .arg(object ? object->objectName() : QString());
            }
            reading.texts << name << child->text(QAccessible::Description);
        }
        read(child, reading);
    }
}

Reading read(QWidget* window)
{
    QCoreApplication::processEvents();
    Reading reading;
    read(QAccessible::queryAccessibleInterface(window), reading);
    return reading;
}

class AccessibilityTest : public test::ScreenTest {
protected:
    AccessibilityTest()
        : ScreenTest(now)
    {
        qputenv("XDG_CONFIG_HOME", QString::fromStdString((folder / "config").string()).toUtf8());
        load(sample::database(200, now));
    }

    // A screen in its window, shown and active as the user meets it.
    template <typename Screen> Screen* present(Screen* screen, QSize size = {500, 700})
    {
        window = std::make_unique<ScreenWindow>(QStringLiteral("Vantory"), screen, size);
        window->present();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return screen;
    }

    // Where the keys go: the focused widget, or the window when nothing holds the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : window.get(), key, modifiers);
    }

    QString focusName() const
    {
        const QWidget* focused = QApplication::focusWidget();
        return focused ? focused->accessibleName() : QString();
    }

    std::unique_ptr<ScreenWindow> window;
    std::unique_ptr<QWidget> sheet;
};

TEST_F(AccessibilityTest, EveryVisibleControlOfEveryWindowHasANameAndStatesAreSpoken)
{
    store.update([](Database& db) {
        db.settings.showReleases = true;
        db.settings.transitionStyle = "fade";
        db.settings.transitionDuration = 0.3;
        db.settings.pairedRules = {{"r1", 72, "FFFFFF", "FFFFFF"}};
        db.assessments.front().release = now + 1h;
    });
    const auto settings = [this](bool colorOnly, const char* tab) {
        return [this, colorOnly, tab]() -> QWidget* {
            return present(new SettingsScreen(store, colorOnly, QString::fromUtf8(tab)));
        };
    };
    const struct {
        const char* window;
        std::function<QWidget*()> open;
        QStringList spoken;
    } cases[] = {
        {"dashboard",
            [this]() -> QWidget* {
                return present(new Dashboard(store), {440, 730});
            },
            {QStringLiteral("오늘"), QStringLiteral("이전 달"), QStringLiteral("다음 달"),
                QStringLiteral("더블클릭하여 과제 페이지 열기. Space 완료, Enter 열기, 메뉴 키 또는 Shift+F10")}},
        {"edit sheet",
            [this]() -> QWidget* {
                window.reset();
                auto* edit = new EditAssessment(store, store.db().assessments.front());
                sheet.reset(edit);
                edit->show();
                EXPECT_TRUE(QTest::qWaitForWindowActive(edit));
                EXPECT_EQ(QApplication::focusWidget(), edit->customSwitch()) << "the first choice has the focus";
                return edit;
            },
            {QStringLiteral("마감"), QStringLiteral("마감 직접 설정")}},
        {"display", settings(false, SettingsTabs::display), {QStringLiteral("0.3초")}},
        {"connection", settings(false, SettingsTabs::connection), {}},
        {"reminders", settings(false, SettingsTabs::reminders), {}},
        {"course colours", settings(true, SettingsTabs::courseColors), {}},
        {"category colours", settings(true, SettingsTabs::categoryColors), {}},
        {"time colours", settings(true, SettingsTabs::timeColors),
            {QStringLiteral("72시간 이하 조건"), QStringLiteral("72시간 이하 조건 삭제")}},
        {"export", [this]() -> QWidget* { return present(new ExportScreen(store, {}, nullptr, [] { return now; })); },
            {}},
    };
    for (const auto& c : cases) {
        QWidget* shown = c.open()->window();
        EXPECT_TRUE(shown->testAttribute(Qt::WA_KeyboardFocusChange)) << c.window << ": focus drawn from the start";
        const Reading reading = read(shown);
        EXPECT_TRUE(reading.unnamed.isEmpty()) << c.window << ": " << reading.unnamed.join(u", ").toStdString();
        for (const QString& spoken : c.spoken)
            EXPECT_TRUE(reading.texts.contains(spoken)) << c.window << ": " << spoken.toStdString();
    }

    // Today's cell, then the one picked, speak their state and counts; a slider speaks its unit.
    auto* dashboard = present(new Dashboard(store), {440, 730});
    MonthCalendar* calendar = dashboard->calendar();
    const int today = static_cast<int>(Dates::dayNumber(now, Zone()) - calendar->month().firstDay) + 1;
    EXPECT_TRUE(calendar->dayButton(today)->accessibleName().startsWith(QStringLiteral("10월 15일, 오늘, 마감 ")));
    EXPECT_TRUE(calendar->dayButton(today)->accessibleName().endsWith(QStringLiteral(", 공개 1개")));
    QTest::mouseClick(calendar->dayButton(today + 1), Qt::LeftButton);
    EXPECT_TRUE(
        calendar->dayButton(today + 1)->accessibleName().startsWith(QStringLiteral("10월 16일, 선택됨, 마감 ")));
    auto* display = present(new SettingsScreen(store, false));
    auto* slider = test::child<QSlider>(display, "transition-duration");
    slider->setFocus();
    press(Qt::Key_Right);
    EXPECT_EQ(test::child<QSlider>(display, "transition-duration")->accessibleDescription(), QStringLiteral("0.4초"));
}

TEST_F(AccessibilityTest, AnIdleListHearsNoFocusOrSelectionWhileTheClockTicks)
{
    Dashboard* dashboard = present(new Dashboard(store), {440, 730});
    DeadlineList* list = dashboard->list();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(3, 0));
    const QString current = list->currentIndex().data().toString();
    // The view tells a screen reader of these as focus and selection events; the offscreen platform
    // has no bridge to carry those, so they are counted at their source.
    QSignalSpy moved(list->selectionModel(), &QItemSelectionModel::currentChanged);
    QSignalSpy selected(list->selectionModel(), &QItemSelectionModel::selectionChanged);
    QSignalSpy reset(list->model(), &QAbstractItemModel::modelReset);

    // Ticks within the day, then one past midnight, which moves today but no row.
    for (const std::chrono::seconds step : {5s, 5s, 5s, 60s, 43200s}) {
        store.setNow(store.now() + step);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(std::tuple(moved.count(), selected.count(), reset.count()), std::tuple(0, 0, 0));
    EXPECT_EQ(list->currentIndex().data().toString(), current);
    EXPECT_TRUE(list->hasFocus());
    const MonthCalendar* calendar = dashboard->calendar();
    const int tomorrow = static_cast<int>(Dates::dayNumber(now, Zone()) - calendar->month().firstDay) + 2;
    EXPECT_TRUE(calendar->dayButton(tomorrow)->accessibleName().startsWith(QStringLiteral("10월 16일, 오늘, ")));
}

TEST_F(AccessibilityTest, KeysReachEveryControlAndOpenMenusTabsAndClose)
{
    Dashboard* dashboard = present(new Dashboard(store), {440, 730});

    // Round the window each way from the refresh button: the calendar's header and one day on the way.
    QStringList order{
        QStringLiteral("오늘"), QStringLiteral("이전 달"), QStringLiteral("다음 달"), QStringLiteral("10월 15일")};
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        const QString start = QStringLiteral("지금 새로고침");
        for (QToolButton* button : dashboard->findChildren<QToolButton*>())
            if (button->accessibleName() == start)
                button->setFocus(Qt::TabFocusReason);
        QStringList met;
        do {
            press(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            met << focusName().section(QLatin1Char(','), 0, 0);
        } while (focusName() != start && met.size() < 100);
        EXPECT_EQ(focusName(), start) << "Tab comes round";
        QStringList seen;
        for (const QString& name : met)
            if (order.contains(name))
                seen << name;
        EXPECT_EQ(seen, order) << "key " << key;
        std::reverse(order.begin(), order.end());
    }

    // Shift+F10 is the menu key of keyboards without one; F10 alone is not.
    DeadlineList* list = dashboard->list();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    for (const auto& [modifiers, opens] : {std::pair{Qt::NoModifier, false}, {Qt::ShiftModifier, true}}) {
        press(Qt::Key_F10, modifiers);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_EQ(menu != nullptr, opens) << modifiers;
        if (menu)
            menu->close();
    }
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "Escape closes the calendar window";

    // Settings tabs step from a number field too, which keeps PgUp and PgDn for itself otherwise.
    auto* settings = present(new SettingsScreen(store, false));
    EXPECT_EQ(QApplication::focusWidget(), settings->findChild<QTabBar*>()) << "the window opens on its tabs";
    test::child<QSpinBox>(settings, "duration-0")->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* tab;
    } steps[] = {
        {Qt::Key_Tab, Qt::ControlModifier, SettingsTabs::connection},
        {Qt::Key_PageDown, Qt::ControlModifier, SettingsTabs::reminders},
        {Qt::Key_Tab, Qt::ControlModifier, SettingsTabs::display},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, SettingsTabs::reminders},
        {Qt::Key_PageUp, Qt::ControlModifier, SettingsTabs::connection},
    };
    for (const auto& step : steps) {
        press(step.key, step.modifiers);
        EXPECT_EQ(settings->tab(), QString::fromUtf8(step.tab)) << step.key;
    }
}

} // namespace
} // namespace vantory
