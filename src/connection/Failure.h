#pragma once

#include <string>

#include "protocol/WebPage.h"

namespace vantory {

// Why a step of a sync failed in a way the connection itself recognised.
enum class Failure { login, timeout, structure, wrongCourse };

// The failure's text for the user.
std::string description(Failure failure);

// Why one step of a pass failed: a recognised failure, a result that did not decode, an exception a
// page script threw, or the page's own description of a failed navigation. Each pass turns it
// into its own texts.
struct StepError {
    enum class Kind { failure, decoding, script, platform };

    Kind kind = Kind::failure;
    Failure failure = Failure::structure; // for Kind::failure
    std::string message; // the decoder's, the script's or the page's text

    static StepError of(Failure failure) { return {Kind::failure, failure, {}}; }
    // A navigation failure as a step error; a terminated page is a structure failure.
    static StepError of(const PageError& error);
};

} // namespace vantory
