// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusItem.h"

#include "app/StripPreference.h"
#include "app/StripVisibility.h"

#include "support/TemporaryFolder.h"

#include <QSettings>
#include <QTest>
#include <QToolTip>
#include <QtWidgets>

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "desktop/StatusContentView.h"

using namespace vantory;

namespace {

// The X server with a window manager that maps a window when it gets round to it (none: at once).
// An unmap of a window not mapped is lost, and StatusItem, which asks the server first, reports it
// done at once. Reports reach the client in order when delivered; a reparenting sends an unmap and
// a map nobody asked for.
struct FakeServer {
    bool windowManager = true;
    StripVisibility* client = nullptr;
    bool mapped = false;
    int mapsWaiting = 0;
    std::deque<bool> reports;

    void request(bool map)
    {
        if (map && windowManager)
            ++mapsWaiting;
        else if (map != mapped)
            mapped = map, reports.push_back(map);
        else if (!map)
            client->reported(false);
        if (!windowManager)
            deliver();
    }
    void windowManagerMaps()
    {
        if (mapsWaiting == 0)
            return;
        --mapsWaiting;
        if (!mapped)
            mapped = true, reports.push_back(true);
    }
    void reparent()
    {
        if (mapped)
            reports.insert(reports.end(), {false, true});
    }
    void deliver()
    {
        if (!reports.empty()) {
            const bool report = reports.front();
            reports.pop_front();
            client->reported(report);
        }
    }
};

// Every sequence of up to six steps ends, once the server is quiet, with the window mapped exactly
// when no reason to hide the strip holds, and never has two requests outstanding.
TEST(StripVisibilityTest, EverySequenceOfReasonsAndReportsEndsMappedExactlyWhenWanted)
{
    using Reason = StripVisibility::Reason;
    const std::pair<const char*, std::function<void(FakeServer&, StripVisibility&)>> steps[] = {
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
            std::string trace = windowManager ? "" : "(no window manager) ";
            for (const std::size_t step : sequence) {
                steps[step].second(server, visibility);
                trace += std::string(steps[step].first) + ' ';
                ASSERT_LE(server.mapsWaiting, 1) << trace << "a request before the previous one completed";
            }
            while (server.mapsWaiting > 0 || !server.reports.empty())
                server.windowManagerMaps(), server.deliver();
            ++sequences;
            ASSERT_TRUE(server.mapped == visibility.wanted() && visibility.settled()) << trace;
            for (std::size_t step = 0; sequence.size() < 6 && step < std::size(steps); ++step) {
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

// XWayland reports the pointer where it last left an X window, so a click on a Wayland panel's
// tray opens the dashboard at the panel's right end instead.
TEST(StatusItemTest, TrayWithoutGeometryIsPlacedAtTheRightEndOfThePanelEdge)
{
    const QRect screen(0, 0, 1440, 900);
    const std::tuple<QRect, QRect, QRect, const char*> cases[] = {
        {screen, QRect(0, 0, 1440, 856), QRect(1439, 856, 1, 44), "KDE's bottom panel"},
        {screen, QRect(0, 30, 1440, 870), QRect(1439, 0, 1, 30), "a top bar"},
        {screen, QRect(0, 30, 1440, 826), QRect(1439, 856, 1, 44), "both: the wider"},
        {screen, QRect(48, 0, 1392, 900), QRect(0, 899, 48, 1), "a left panel"},
        {screen, screen, QRect(1439, 0, 1, 1), "no panel reserves space: the top"},
        {QRect(1440, 0, 1920, 1080), QRect(1440, 0, 1920, 1040), QRect(3359, 1040, 1, 40), "a second screen"},
    };
    for (const auto& [whole, available, expected, what] : cases)
        EXPECT_EQ(StatusItem::trayPlace(whole, available), expected) << what;
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

TEST(StatusItemTest, TrayOnlyIsRememberedUntilTheStripIsAskedBack)
{
    const test::TemporaryFolder folder;
    QSettings settings(QString::fromStdString((folder / "Vantory.conf").string()), QSettings::IniFormat);
    for (const auto& [arguments, wanted] : {std::pair{QStringList{}, true}, {{QStringLiteral("--tray-only")}, false},
             {{QStringLiteral("--data-dir"), QStringLiteral("/tmp/x")}, false},
             {{QStringLiteral("--tray-only"), QStringLiteral("--with-strip")}, true}, {{}, true}})
        EXPECT_EQ(StripPreference::stripWanted(QStringList{QStringLiteral("vantory")} + arguments, settings), wanted)
            << arguments.join(u' ').toStdString();
}

} // namespace
