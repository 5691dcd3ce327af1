// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/Store.h"

#include <QCoroTask>

#include <optional>
#include <string>

// What the settings ask of a calendar server before it is used: its task collections, and a new one.
namespace vantory::ServerCheck {

// Reaches the address with the login and lists the task collections found, with a text that says
// what came back.
QCoro::Task<CalendarServerCheck> check(CalendarServerLogin login);

struct Created {
    std::optional<std::string> address;
    std::string text;
};
// A new task collection named "Vantory" in the home a check found.
QCoro::Task<Created> create(CalendarServerLogin login, std::string home);

} // namespace vantory::ServerCheck
