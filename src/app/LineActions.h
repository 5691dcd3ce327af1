#pragma once

#include "model/Sites.h"
#include "store/Store.h"

#include <optional>

namespace vantory {

// What the user can do from the line, in menu order, wherever a menu offers it: the tray icon's
// menu and the desktop shell's front ends (by the bus method's name). A null label marks a
// separator; a null hook is the application's quit. An action of one site is offered only while
// the school uses that site.
struct LineAction {
    const char* method;
    const char* label;
    Store::Action Store::*hook;
    std::optional<Site> site = std::nullopt;
};

inline constexpr LineAction lineActions[] = {
    {"ShowCalendar", "캘린더 열기", &Store::calendarWindow},
    {"Refresh", "지금 새로고침", &Store::sync},
    {nullptr, nullptr, nullptr},
    {"SignIn", "BrevaneLearn 로그인", &Store::connect, Site::assessment},
    {"SignInCanvas", "Canvas 로그인", &Store::connectCanvas, Site::canvas},
    {nullptr, nullptr, nullptr},
    {"ExportCalendar", "iPhone 캘린더 내보내기 (.ics)", &Store::exportCalendar},
    {"ShowSettings", "설정", &Store::settingsWindow},
    {"ShowColors", "색상 설정", &Store::colorsWindow},
    {nullptr, nullptr, nullptr},
    {"Quit", "앱 종료", nullptr},
};

// Whether the action belongs in the menus now: not a site's action while that site has no address.
inline bool offered(const LineAction& action)
{
    return !action.site || Sites::current().uses(*action.site);
}

// Whether the action can run now: the quit always, the others once their hook is installed.
inline bool available(const LineAction& action, const Store& store)
{
    return !action.hook || static_cast<bool>(store.*action.hook);
}

// Runs the action; the hook is read now, since windows install and replace hooks after start-up.
void run(const LineAction& action, Store& store);

} // namespace vantory
