// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/LoginView.h"

#include <QCoreApplication>
#include <QCoroTask>

#include <cstdint>
#include <string>

#include "schedule/Timer.h"

namespace vantory {

class BrevaneConnection;

// The sign-in of one site through its own pages in the login window: opens the window, probes the
// page every second, and once a signed-in page shows, clears the site's login flag and starts one
// pass behind any running one. The application never sees a password. Owned by its connection.
class LoginFlow {
    Q_DECLARE_TR_FUNCTIONS(LoginFlow)

public:
    static constexpr std::chrono::seconds probeInterval{1};
    static constexpr double networkTimeoutSeconds = 60;

    LoginFlow(BrevaneConnection& connection, LoginView& view);
    LoginFlow(const LoginFlow&) = delete;
    LoginFlow& operator=(const LoginFlow&) = delete;
    ~LoginFlow();

    // Opens (creating on first use) and brings forward the window, then reloads it.
    void show();
    // Starts the sign-in again at the site's start page.
    void reload();

    bool detected() const { return detected_; }
    const std::string& message() const { return message_; }

private:
    void check();
    void setMessage(std::string message);
    void refreshTexts();
    QCoro::Task<> syncAfterRunningPass();

    BrevaneConnection& connection_;
    LoginView& view_;
    WebPage& page_;
    Timer probe_;
    bool detected_ = false;
    std::string message_;
    std::int64_t storeObserver_;
};

} // namespace vantory
