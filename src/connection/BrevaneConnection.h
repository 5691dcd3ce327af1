// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/Completion.h"
#include "connection/Failure.h"
#include "connection/LoginFlow.h"
#include "connection/PageScripts.h"
#include "connection/WebHost.h"
#include "model/Instant.h"
#include "model/Sites.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "schedule/Scheduler.h"
#include "schedule/Timer.h"

namespace vantory {

class Store;

// Drives one site, the assessment site or Canvas (one object each, despite the name, which is
// the first site's), for the whole run: the schedule (one timer, for when the interval runs out)
// and the catch-up after a wake, the guard against overlapping passes, the page loads with their
// watchdog and the script calls in the connection's hidden page, and the site's login window.
// The passes themselves are AssessmentPass and CanvasPass. Main thread only; lives from start-up
// to exit.
class BrevaneConnection {
    Q_DECLARE_TR_FUNCTIONS(BrevaneConnection)

public:
    static constexpr std::chrono::seconds loadWatchdog{40};
    static constexpr double networkTimeoutSeconds = 35;

    BrevaneConnection(Store& store, Site site, WebHost& host, Scheduler& scheduler, PageScripts scripts);
    BrevaneConnection(const BrevaneConnection&) = delete;
    BrevaneConnection& operator=(const BrevaneConnection&) = delete;
    ~BrevaneConnection();

    Site site() const { return site_; }
    bool isCanvas() const { return site_ == Site::canvas; }
    bool running() const { return running_; }

    // Starts a pass when the schedule allows it, or arms the timer for when it will. The first call
    // (the application's start) starts the schedule, which then runs by itself.
    void syncIfDue();
    // The machine woke from sleep: the line catches up with the time, then the schedule.
    void woke();
    // Starts a pass now unless one is running.
    void sync();

    LoginFlow& login() { return login_; }

    // Loads an address in the hidden page between passes and tells what came back: where the page
    // ended up and over which connection, or why it failed, as one short text.
    using AddressReport = std::function<void(bool reached, std::string text)>;
    void checkAddress(std::string url, AddressReport report);

    // What the passes use. Each page step resumes the pass on the main thread.
    Store& store() { return store_; }
    Scheduler& scheduler() { return scheduler_; }
    const PageScripts& scripts() const { return scripts_; }
    // Picks new courses' colours.
    std::mt19937_64& random() { return random_; }
    // Loads url in the hidden page; no error when the page finished loading.
    QCoro::Task<std::optional<StepError>> load(std::string url);
    QCoro::Task<ScriptOutcome> evaluate(std::string script);
    QCoro::Task<ScriptOutcome> callAsync(std::string body);
    // Where the hidden page ended up after its last load.
    QUrl currentURL() const;
    // Why a step in the hidden page failed, for the line under a failure status.
    std::string reason(const StepError& error) const;
    // Clears the running flags of a pass that ended and tells the application.
    void endPass();

private:
    void startPass();
    QCoro::Task<> runPass();
    QCoro::Task<> runAddressCheck(std::string url, AddressReport report);
    void finishLoad(std::optional<StepError> outcome);
    // A pass resumes from the event loop, never inside the page's callback that ended its step:
    // the watchdog stops the page after ending the load, and must not stop the next one.
    template <typename T> void resumeLater(const Completion<T>& completion, T value)
    {
        scheduler_.schedule(
            Scheduler::Duration::zero(), [completion, value = std::move(value)] { completion.complete(value); });
    }

    Store& store_;
    Site site_;
    WebPage& page_;
    Scheduler& scheduler_;
    PageScripts scripts_;
    LoginFlow login_;
    bool running_ = false;
    bool scheduled_ = false;
    std::optional<Instant> lastAttempt_;
    std::optional<Completion<std::optional<StepError>>> pendingLoad_;
    Timer watchdog_;
    Timer due_;
    std::int64_t observer_;
    std::mt19937_64 random_{std::random_device{}()};
};

} // namespace vantory
