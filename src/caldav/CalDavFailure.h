// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vantory {

// Why a request to the calendar server failed: the one value every CalDAV operation fails with,
// put into words by calDavFailureText.
struct CalDavFailure {
    enum class Kind {
        network, // code is the QNetworkReply::NetworkError
        timedOut, // code is the time-out in seconds
        tls, // code is the first QSslError::SslError, or the NetworkError
        unauthorized, // HTTP 401: the user or password is wrong
        forbidden, // HTTP 403
        notFound, // HTTP 404
        conflict, // HTTP 412: the resource changed since its ETag was read
        insufficientStorage, // HTTP 507
        httpStatus, // any other status that is not a success; code is the status
        badAnswer, // an answer too large, ill-formed, or without what the request asked for
        badRedirect, // a redirect to plain http, to a foreign origin, or too many of them
        notCalendarServer, // the address leads to no calendar home
    };

    Kind kind = Kind::network;
    int code = 0;

    bool operator==(const CalDavFailure&) const = default;
};

// A short text for the student, in the interface's language, with the number at the end for support:
// "캘린더 서버가 연결을 거부했습니다 (오류 1)", "캘린더 서버의 저장 공간이 부족합니다 (HTTP 507)".
std::string calDavFailureText(const CalDavFailure& failure);

// A value or the failure that kept it from being had.
template <typename T> class CalDavResult {
public:
    CalDavResult(T value)
        : state_(std::move(value))
    {
    }
    CalDavResult(CalDavFailure failure)
        : state_(failure)
    {
    }

    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    const CalDavFailure& failure() const { return std::get<1>(state_); }

private:
    std::variant<T, CalDavFailure> state_;
};

} // namespace vantory
