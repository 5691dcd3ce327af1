// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "protocol/WebPage.h"

namespace vantory {

// Why a step of a sync failed in a way the connection itself recognised.
enum class Failure { login, timeout, structure, wrongCourse };

// The failure's text for the user.
std::string description(Failure failure);

// Why one step of a pass failed: a recognised failure, a result that did not decode, an exception a
// page script threw, a load that failed (with its reason) or a page whose web content is gone. Each
// pass turns it into its own texts.
struct StepError {
    enum class Kind { failure, decoding, script, load, terminated };

    Kind kind = Kind::failure;
    Failure failure = Failure::structure; // for Kind::failure
    std::string message; // the decoder's or the script's text
    LoadFailure load{}; // for Kind::load

    static StepError of(Failure failure) { return {Kind::failure, failure, {}}; }
    // A page's failure as a step error.
    static StepError of(const PageError& error);
};

// Why a step failed, in a few Korean words for the line under a failure status: the load's own
// reason for a load, the connection's for the rest. The one place of these texts.
std::string reason(const StepError& error);

} // namespace vantory
