// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"
#include "store/Store.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace vantory {

// What the user can do from the line, in menu order, wherever a menu offers it: the tray icon's
// menu and the desktop shell's front ends (by the bus method's name). A null label marks a
// separator; a null hook is the application's quit. An action of one site is offered only while
// the school uses that site. The label is translated by menuText whenever a menu reads it, so the
// menus follow a change of language.
struct LineAction {
    const char* method;
    const char* label;
    Store::Action Store::*hook;
    std::optional<Site> site = std::nullopt;
};

inline constexpr LineAction lineActions[] = {
    {"ShowCalendar", QT_TRANSLATE_NOOP("LineActions", "캘린더 열기"), &Store::calendarWindow},
    {"Refresh", QT_TRANSLATE_NOOP("LineActions", "지금 새로고침"), &Store::sync},
    {nullptr, nullptr, nullptr},
    {"SignIn", QT_TRANSLATE_NOOP("LineActions", "BrevaneLearn 로그인"), &Store::connect, Site::assessment},
    {"SignInCanvas", QT_TRANSLATE_NOOP("LineActions", "Canvas 로그인"), &Store::connectCanvas, Site::canvas},
    {nullptr, nullptr, nullptr},
    {"ExportCalendar", QT_TRANSLATE_NOOP("LineActions", "iPhone 캘린더 내보내기 (.ics)"), &Store::exportCalendar},
    {"ShowSettings", QT_TRANSLATE_NOOP("LineActions", "설정"), &Store::settingsWindow},
    {"ShowColors", QT_TRANSLATE_NOOP("LineActions", "색상 설정"), &Store::colorsWindow},
    {nullptr, nullptr, nullptr},
    {"Quit", QT_TRANSLATE_NOOP("LineActions", "앱 종료"), nullptr},
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

// The action's label in the interface's language.
QString menuText(const LineAction& action);

// Runs the action; the hook is read now, since windows install and replace hooks after start-up.
void run(const LineAction& action, Store& store);

} // namespace vantory
