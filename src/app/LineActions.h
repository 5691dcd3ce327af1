#pragma once

#include "store/Store.h"

namespace vantory {

// What the user can do from the line, in menu order, wherever a menu offers it: the tray icon's
// menu and the desktop shell's front ends (by the bus method's name). A null label marks a
// separator; a null hook is the application's quit.
struct LineAction {
    const char* method;
    const char* label;
    Store::Action Store::*hook;
};

inline constexpr LineAction lineActions[] = {
    {"ShowCalendar", "캘린더 열기", &Store::calendarWindow},
    {"Refresh", "지금 새로고침", &Store::sync},
    {nullptr, nullptr, nullptr},
    {"SignIn", "BrevaneLearn 로그인", &Store::connect},
    {"SignInCanvas", "Canvas 로그인", &Store::connectCanvas},
    {nullptr, nullptr, nullptr},
    {"ExportCalendar", "iPhone 캘린더 내보내기 (.ics)", &Store::exportCalendar},
    {"ShowSettings", "설정", &Store::settingsWindow},
    {"ShowColors", "색상 설정", &Store::colorsWindow},
    {nullptr, nullptr, nullptr},
    {"Quit", "앱 종료", nullptr},
};

// Whether the action can run now: the quit always, the others once their hook is installed.
inline bool available(const LineAction& action, const Store& store)
{
    return !action.hook || static_cast<bool>(store.*action.hook);
}

// Runs the action; the hook is read now, since windows install and replace hooks after start-up.
void run(const LineAction& action, Store& store);

} // namespace vantory
