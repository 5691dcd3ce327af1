// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vantory {

// SIGTERM and SIGINT (a logout, a service manager, Ctrl+C) end the event loop like the menu's quit,
// so the web worker is asked to quit and writes its cookies. The handler only writes a byte to a
// socket pair; the quit happens on the main thread. Call once, after the application object exists.
void quitOnTerminationSignals();

} // namespace vantory
