// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace vantory {

// Whether the strip shows, and bringing its window there. The strip shows while no reason to hide
// it holds. A window manager maps a window some time after the request, and an unmap sent before
// that map is lost (it finds nothing mapped), leaving a window that is mapped, reserves its space
// and is never painted. So one request is outstanding at a time: the next goes out once the window
// reports the previous one done. Main thread only.
class StripVisibility {
public:
    enum class Reason : unsigned {
        panelShown = 1, // a desktop shell's panel shows the line
        awaitingPanel = 2, // a panel is expected to register shortly
        trayChosen = 4, // tray-only was chosen and a tray exists
    };

    // request(true) maps the window, request(false) unmaps it; each must be followed, at once or
    // later, by reported() with the state reached.
    explicit StripVisibility(std::function<void(bool map)> request);

    void setReason(Reason reason, bool holds);
    // Whether the strip should show now.
    bool wanted() const { return reasons_ == 0; }
    // The window reports that it is now mapped or unmapped. A report that does not complete the
    // outstanding request (the window manager reparenting, or a late echo) changes nothing.
    void reported(bool mapped);
    // No request is outstanding and the window is as wanted.
    bool settled() const { return !pending_ && requested_ == wanted(); }

private:
    void advance();

    std::function<void(bool)> request_;
    unsigned reasons_ = 0;
    bool requested_ = false; // the state asked for last, reached once nothing is pending
    bool pending_ = false;
};

} // namespace vantory
