// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

#include "protocol/LoadFailure.h"
#include "protocol/WebPage.h"

// The messages between the application and its vantory-web worker: one compact JSON object per
// line, each with a "type". Both sides treat what they read as untrusted: a line that is not
// exactly one of these messages (unknown type or field, wrong JSON type, a fraction in an integer,
// a non-finite number, too long) decodes to nothing, and the reader gives up on its peer.
namespace vantory::WorkerProtocol {

// Raised whenever a message changes shape or meaning; the hello/ready handshake compares it.
inline constexpr int version = 4;
// The longest line either side accepts, newline excluded. Script results run to hundreds of KB.
inline constexpr qsizetype maxMessageBytes = 4 * 1024 * 1024;

// The four pages of the worker: each site's hidden page and the page of its login window. A login
// window's messages name the window by its page.
enum class PageId { assessment, canvas, assessmentLogin, canvasLogin };

// ---- application → worker ----

struct Hello {
    int version = WorkerProtocol::version;
};
// Loads url in page. load numbers the page's loads (increasing); the page's events carry the number
// of the load they belong to. timeout: network time-out in seconds.
struct Load {
    PageId page;
    std::int64_t load = 0;
    QString url;
    double timeout = 0;
};
struct Stop {
    PageId page;
};
// Evaluates script, or with async set runs it as the body of an async function; answered by one
// Result with the same call number.
struct Evaluate {
    PageId page;
    std::int64_t call = 0;
    QString script;
    bool async = false;
};
// Shows a login window, worded in English or in Korean, the source language.
struct ShowLogin {
    PageId page;
    bool english = false;
};
struct LoginTexts {
    PageId page;
    QString status;
    QString message;
    bool syncEnabled = true;
};
struct Quit { };

using Command = std::variant<Hello, Load, Stop, Evaluate, ShowLogin, LoginTexts, Quit>;

// ---- worker → application ----

struct Ready {
    int version = WorkerProtocol::version;
};
// A navigation of page began, finished (the final page after redirects, the site's error page
// included) or failed. url is the page's current URL.
struct Navigation {
    enum class State { started, finished, failed };

    PageId page;
    std::int64_t load = 0;
    State state = State::started;
    QString url;
    bool cancelled = false; // failed only: stopped or replaced rather than broken
    LoadFailure failure{}; // failed only: why; never httpStatus
    int httpStatus = 0; // finished only: the site's HTTP error status (400 to 999), 0 for an ordinary page
};
struct UrlChanged {
    PageId page;
    QString url;
};
// The page's renderer process is gone.
struct Terminated {
    PageId page;
};
// The outcome of one Evaluate; PageError only of kind script or terminated.
struct Result {
    std::int64_t call = 0;
    ScriptOutcome outcome;
};
struct LoginButton {
    enum class Button { reload, sync, closed, addresses };

    PageId page;
    Button button = Button::reload;
};

using Event = std::variant<Ready, Navigation, UrlChanged, Terminated, Result, LoginButton>;

// One line each, newline included.
QByteArray encode(const Command& command);
QByteArray encode(const Event& event);

// line without its newline.
std::optional<Command> decodeCommand(const QByteArray& line);
std::optional<Event> decodeEvent(const QByteArray& line);

// Splits a byte stream into lines: append what arrives, then take lines until none is complete.
class LineBuffer {
public:
    void append(const QByteArray& bytes);
    // The next complete line without its newline, or nothing yet.
    std::optional<QByteArray> take();
    // A line (complete or not) grew longer than maxMessageBytes: the stream cannot be trusted, and
    // nothing more is taken from it.
    bool overflowed() const { return overflowed_; }

private:
    QByteArray buffer_;
    qsizetype scanned_ = 0; // bytes at the start of buffer_ known to hold no newline
    bool overflowed_ = false;
};

} // namespace vantory::WorkerProtocol
