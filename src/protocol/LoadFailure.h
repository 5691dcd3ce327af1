// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vantory {

// Why a page did not load, or loaded only as the site's error page: the one value the worker
// reports and every screen puts into words through loadFailureText.
struct LoadFailure {
    enum class Kind {
        network, // the web engine's network error; code is its (negative) error number
        httpStatus, // the site answered with an error page; code is the HTTP status (400 and up)
        timedOut, // the worker's own network time-out ran out; code is its length in seconds
        badAddress, // the address cannot be loaded at all; code is 0
    };

    Kind kind = Kind::network;
    int code = 0;

    bool operator==(const LoadFailure&) const = default;
};

// A short text for the student, in the interface's language, with the number kept at the end for
// support:
// "사이트가 연결을 거부했습니다 (오류 -102)", "사이트가 오류 페이지로 답했습니다 (HTTP 503)".
std::string loadFailureText(const LoadFailure& failure);

} // namespace vantory
