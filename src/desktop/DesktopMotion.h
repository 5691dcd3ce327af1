// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vantory::DesktopMotion {

// Whether the desktop asks applications to leave out animations: a style whose animation
// duration is 0 (KDE with animations off), or GNOME's enable-animations set to false as the
// desktop portal reports it. The portal is asked once, at the first call (which blocks for at most
// a short D-Bus time-out when it is slow), and followed through its announcements from then on.
bool reduced();

} // namespace vantory::DesktopMotion
