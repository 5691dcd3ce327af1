// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <variant>

#include "protocol/LoadFailure.h"

namespace vantory {

// A value a page script gave back: a text, a flag, or anything else (null, numbers, objects).
struct ScriptValue {
    enum class Kind { text, flag, other };

    Kind kind = Kind::other;
    std::string text; // for text
    bool flag = false; // for flag

    bool operator==(const ScriptValue&) const = default;
};

// Why a page step failed, as the page reports it.
struct PageError {
    enum class Kind {
        cancelled, // the navigation was stopped or replaced by another; load says how it ended
        network, // the navigation failed; load says why
        terminated, // the page's web content (or the whole web process) is gone
        script, // the script threw; message is the exception's message
    };

    Kind kind = Kind::network;
    std::string message;
    LoadFailure load{};

    static PageError failedLoad(LoadFailure load) { return {Kind::network, {}, load}; }

    bool operator==(const PageError&) const = default;
};

using ScriptOutcome = std::variant<ScriptValue, PageError>;

// One web page in which a connection loads a site's pages and runs scripts: hidden for the syncs,
// or shown in a login window. Everything, callbacks included, happens on the main thread; a
// callback may come before the call that caused it returns.
class WebPage {
public:
    virtual ~WebPage() = default;

    // Starts loading url, bypassing the cache, with a network time-out in seconds. Each load ends
    // in exactly one of onFinished (the final page after redirects), onFailed or onTerminated —
    // or in nothing at all, when the page hangs; a newer load cancels an older one.
    virtual void load(const std::string& url, double networkTimeoutSeconds) = 0;
    virtual void stop() = 0;
    // The page's current URL after redirects; empty before the first load.
    virtual std::string url() const = 0;
    virtual bool isLoading() const = 0;
    // The HTTP error status (400 and up) of the site's answer that the last finished load shows,
    // or 0 when it shows an ordinary page.
    virtual int errorStatus() const = 0;

    // Evaluates script in the page's main world. done is called exactly once: with the value, or
    // with the error the script threw (PageError::script), or PageError::terminated.
    virtual void evaluate(const std::string& script, std::function<void(ScriptOutcome)> done) = 0;
    // Runs body as the body of an async function called with no arguments and waits for its
    // promise; done as for evaluate().
    virtual void callAsync(const std::string& body, std::function<void(ScriptOutcome)> done) = 0;

    std::function<void()> onFinished;
    std::function<void(const PageError&)> onFailed;
    std::function<void()> onTerminated;
};

} // namespace vantory
