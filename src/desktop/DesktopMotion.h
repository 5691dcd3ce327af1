// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vantory::DesktopMotion {

// Whether the desktop asks applications to leave out animations: a style whose animation
// duration is 0 (KDE with animations off), or GNOME's enable-animations set to false as the
// desktop portal reports it. Reads the settings anew on every call; blocks for at most a short
// D-Bus time-out when the portal is slow.
bool reduced();

} // namespace vantory::DesktopMotion
