// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusMessage>

namespace vantory::GnomeExtension {

// Vantory's GNOME Shell extension, which shows the line in GNOME's top bar.
inline constexpr const char* uuid = "vantory@vantory.app";
// GNOME Shell's extension states (ExtensionUtils.ExtensionState) that matter here.
enum State { enabled = 1, error = 3, outOfDate = 4 };

// Whether the session is GNOME's, by XDG_CURRENT_DESKTOP.
bool session();

// A call of org.gnome.Shell.Extensions `method` with the extension's UUID as its argument:
// GetExtensionInfo, EnableExtension or DisableExtension.
QDBusMessage call(const char* method);

} // namespace vantory::GnomeExtension
