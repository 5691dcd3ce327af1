#include "app/StatusItem.h"

#include "app/StripVisibility.h"

#include <QTest>
#include <QToolTip>
#include <QtWidgets>

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "desktop/StatusContentView.h"

using namespace vantory;

namespace {

using Reason = StripVisibility::Reason;

// The X server with a window manager that maps a window when it gets round to it. A map waits for
// the window manager; an unmap of a mapped window happens at once; an unmap of a window that is
// not mapped finds nothing to do and is reported at once (StatusItem asks the server first). The
// server's reports reach the client in order, when delivered; a window manager that reparents a
// mapped window sends an unmap and a map that the client did not ask for.
struct FakeServer {
    bool windowManager = true;
    StripVisibility* client = nullptr;
    bool mapped = false;
    int mapsWaiting = 0;
    std::deque<bool> reports;

    void request(bool map)
    {
        if (map && windowManager) {
            ++mapsWaiting;
        } else if (map != mapped) {
            mapped = map;
            reports.push_back(map);
        } else if (!map) {
            client->reported(false);
        }
        if (!windowManager)
            deliver();
    }
    void windowManagerMaps()
    {
        if (mapsWaiting == 0)
            return;
        --mapsWaiting;
        if (!mapped) {
            mapped = true;
            reports.push_back(true);
        }
    }
    void reparent()
    {
        if (mapped)
            reports.insert(reports.end(), {false, true});
    }
    void deliver()
    {
        if (reports.empty())
            return;
        const bool report = reports.front();
        reports.pop_front();
        client->reported(report);
    }
    bool quiet() const { return mapsWaiting == 0 && reports.empty(); }
};

// Every sequence of up to six steps (a reason coming or going, the window manager mapping, a
// report delivered, a reparenting) ends, once the server is quiet, with the window mapped exactly
// when no reason to hide the strip holds.
TEST(StripVisibilityTest, EverySequenceOfReasonsAndReportsEndsMappedExactlyWhenWanted)
{
    const std::vector<std::pair<const char*, std::function<void(FakeServer&, StripVisibility&)>>> steps{
        {"panel", [](FakeServer&, StripVisibility& v) { v.setReason(Reason::panelShown, !v.wanted()); }},
        {"held", [](FakeServer&, StripVisibility& v) { v.setReason(Reason::awaitingPanel, v.wanted()); }},
        {"tray", [](FakeServer&, StripVisibility& v) { v.setReason(Reason::trayChosen, v.wanted()); }},
        {"wm", [](FakeServer& s, StripVisibility&) { s.windowManagerMaps(); }},
        {"report", [](FakeServer& s, StripVisibility&) { s.deliver(); }},
        {"reparent", [](FakeServer& s, StripVisibility&) { s.reparent(); }},
    };
    int sequences = 0;
    for (const bool windowManager : {true, false}) {
        std::vector<std::size_t> sequence;
        const std::function<void()> run = [&] {
            FakeServer server{windowManager};
            StripVisibility visibility([&server](bool map) { server.request(map); });
            server.client = &visibility;
            visibility.setReason(Reason::awaitingPanel, false); // the first decision, as at start-up
            std::string trace;
            for (const std::size_t step : sequence) {
                steps[step].second(server, visibility);
                trace += std::string(steps[step].first) + ' ';
                ASSERT_LE(server.mapsWaiting, 1) << trace << ": a request before the previous one completed";
            }
            while (!server.quiet()) {
                server.windowManagerMaps();
                server.deliver();
            }
            ++sequences;
            ASSERT_EQ(server.mapped, visibility.wanted()) << trace << (windowManager ? "" : "(no window manager)");
            ASSERT_TRUE(visibility.settled()) << trace;
            if (sequence.size() == 6)
                return;
            for (std::size_t step = 0; step < steps.size(); ++step) {
                sequence.push_back(step);
                run();
                sequence.pop_back();
                if (::testing::Test::HasFatalFailure())
                    return;
            }
        };
        run();
    }
    EXPECT_EQ(sequences, 2 * 55987);
}

// Offscreen the window reports at once: the reasons alone decide, and without a tray the strip
// shows even when tray-only was chosen.
TEST(StatusItemTest, StripShowsExactlyWhileNoReasonHidesIt)
{
    StatusItem item(120);
    ASSERT_TRUE(QTest::qWaitFor([&] { return item.stripShown(); }, 1000));
    const std::vector<std::tuple<std::function<void()>, bool, const char*>> steps{
        {[&] { item.setPanelShown(true); }, false, "a panel shows the line"},
        {[&] { item.setStripHeld(true); }, false, "held as well"},
        {[&] { item.setPanelShown(false); }, false, "still held"},
        {[&] { item.setStripHeld(false); }, true, "nothing hides it"},
        {[&] { item.setStripWanted(false); }, true, "tray-only, but there is no tray"},
        {[&] { item.setStripHeld(true); }, false, "held"},
        {[&] { item.setStripWanted(true); }, false, "still held"},
        {[&] { item.setStripHeld(false); }, true, "released"},
    };
    for (const auto& [step, shown, what] : steps) {
        step();
        EXPECT_EQ(item.stripShown(), shown) << what;
    }
}

// XWayland reports the pointer where it last left an X window, so a click on a Wayland panel's
// tray opens the dashboard at the panel's right end instead.
TEST(StatusItemTest, TrayWithoutGeometryIsPlacedAtTheRightEndOfThePanelEdge)
{
    const QRect screen(0, 0, 1440, 900);
    const std::tuple<QRect, QRect, const char*> cases[] = {
        {QRect(0, 0, 1440, 856), QRect(1439, 856, 1, 44), "KDE's bottom panel"},
        {QRect(0, 30, 1440, 870), QRect(1439, 0, 1, 30), "a top bar"},
        {QRect(0, 30, 1440, 826), QRect(1439, 856, 1, 44), "both: the wider"},
        {QRect(48, 0, 1392, 900), QRect(0, 899, 48, 1), "a left panel"},
        {screen, QRect(1439, 0, 1, 1), "no panel reserves space: the top"},
    };
    for (const auto& [available, expected, what] : cases)
        EXPECT_EQ(StatusItem::trayPlace(screen, available), expected) << what;
    EXPECT_EQ(StatusItem::trayPlace(QRect(1440, 0, 1920, 1080), QRect(1440, 0, 1920, 1040)), QRect(3359, 1040, 1, 40))
        << "a second screen";
}

TEST(StatusItemTest, ShownTooltipFollowsTheLineButNoOtherTooltip)
{
    StatusItem item(120);
    ASSERT_TRUE(QTest::qWaitFor([&] { return item.stripShown(); }, 1000));
    QWidget* strip = item.view()->window();
    item.setToolTip(QStringLiteral("first"));
    QToolTip::showText(strip->mapToGlobal(strip->rect().center()), QStringLiteral("first"), strip);
    ASSERT_TRUE(QToolTip::isVisible());
    item.setToolTip(QStringLiteral("second"));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("second"));

    QToolTip::showText(QPoint(10, 10), QStringLiteral("another widget's"));
    item.setToolTip(QStringLiteral("third"));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("another widget's"));
    QToolTip::hideText();
}

} // namespace
