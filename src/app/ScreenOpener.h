// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace vantory {

class AppDelegate;
struct Assessment;
class Popover;
class ScreenWindow;
class Store;
class TrayMenu;

// Everything the user opens from the status item: the dashboard popover and the four windows
// (settings, colours, calendar, export), each created on first use and reused, the Store's window
// and login hooks, the status item's clicks and the tray icon's menu. Lives as long as the delegate.
class ScreenOpener : public QObject {
    Q_OBJECT

public:
    // Opens the edit sheet for an item over the given window.
    using EditOpener = std::function<void(const Assessment& item, QWidget* over)>;
    // The screens built elsewhere; each call makes a new one (the popover's and the calendar
    // window's dashboards are two).
    struct Screens {
        std::function<QWidget*(Store&, EditOpener)> dashboard;
        std::function<QWidget*(Store&, bool colorOnly)> settings;
    };
    // The two sites' login windows, injected so the screens open without a web worker in tests.
    struct Logins {
        std::function<void()> assessment;
        std::function<void()> canvas;
    };

    // Installs the hooks, the click handling and the tray menu into the delegate, which must be
    // started and outlive this object.
    ScreenOpener(AppDelegate& delegate, Screens screens, Logins logins, QObject* parent = nullptr);
    ~ScreenOpener() override;

    // Left click: shows the popover under what was clicked, or closes it.
    void togglePopover();
    // The same under a given global rectangle, such as a desktop shell's button.
    void togglePopover(const QRect& anchor);
    void closePopover();
    void showSettings();
    // The settings window on the school's site addresses, the first field focused.
    void showSchoolSites();
    void showColors();
    void showCalendar();
    void showExport();
    // "--show-calendar" opens the calendar window, at launch and from a later launch.
    void handleArguments(const QStringList& arguments);
    // The language changed: every screen and the tray menu are built anew in it, the open
    // windows where they stood, the settings on the tab the student was on.
    void reword();

    Popover* popover() const { return popover_.get(); }
    ScreenWindow* settingsWindow() const { return settings_.get(); }
    ScreenWindow* colorsWindow() const { return colors_.get(); }
    ScreenWindow* calendarWindow() const { return calendar_.get(); }
    ScreenWindow* exportWindow() const { return export_.get(); }
    TrayMenu* trayMenu() const { return trayMenu_.get(); }

private:
    void present(std::unique_ptr<ScreenWindow>& window, const std::function<ScreenWindow*()>& create);
    void openEditor(const Assessment& item, QWidget* over);
    void buildPopoverDashboard();
    void buildTrayMenu();

    AppDelegate& delegate_;
    Store& store_;
    Screens screens_;
    Logins logins_;
    std::unique_ptr<Popover> popover_;
    QWidget* popoverDashboard_ = nullptr;
    std::unique_ptr<ScreenWindow> settings_;
    std::unique_ptr<ScreenWindow> colors_;
    std::unique_ptr<ScreenWindow> calendar_;
    std::unique_ptr<ScreenWindow> export_;
    std::unique_ptr<TrayMenu> trayMenu_;
};

} // namespace vantory
