// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWebEnginePage>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "protocol/WorkerProtocol.h"

namespace vantory {

// One page of the worker, hidden or in a login window: loads with numbered navigation events,
// script calls through a small bridge in the page (ScriptBridge), pop-ups loaded in place.
// Everything it reports goes to the sink, in order.
class WorkerPage final : public QWebEnginePage {
public:
    using Sink = std::function<void(const WorkerProtocol::Event&)>;

    // hidden: a sync page, which shows no JavaScript dialogs. No page shows the engine's error pages.
    WorkerPage(WorkerProtocol::PageId id, bool hidden, QWebEngineProfile* profile, Sink sink, QObject* parent);
    ~WorkerPage() override;

    // timeout: seconds of network time-out, 0 for none.
    void startLoad(std::int64_t load, const QUrl& url, double timeout);
    void stopLoad();
    void startCall(std::int64_t call, const QString& script, bool async);

protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(
        const QUrl& origin, const QString& message, const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(
        JavaScriptConsoleMessageLevel level, const QString& message, int line, const QString& source) override;

private:
    struct Call {
        QString token;
        bool async = false;
        bool started = false; // the start script answered; polls may go out
        int document = 0; // documents_ when the start script went out
    };

    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onRenderProcessTerminated();
    void onNetworkTimeout();
    void runStart(std::int64_t call, const QString& script, bool fallback);
    void onStarted(std::int64_t call, const QString& script, bool fallback, const QVariant& answer);
    void poll();
    void onPolled(std::int64_t call, const QVariant& answer);
    void finishCall(std::int64_t call, ScriptOutcome outcome);
    void failAllCalls();
    void dropCallsOfOldDocuments();
    // Runs script in the main world; callback only while this page lives.
    void run(const QString& script, std::function<void(const QVariant&)> callback);
    QString currentUrl() const;
    // A URL as the protocol carries it: empty when longer than any page can have.
    static QString text(const QUrl& url);

    WorkerProtocol::PageId id_;
    bool hidden_;
    Sink sink_;
    std::int64_t load_ = 0; // the latest load asked for
    std::int64_t swallowEndOf_ = -1; // a load whose end this page already reported itself
    int documents_ = 0; // navigations that ended, so a new document may have replaced the old
    bool evalBlocked_ = false; // the document's content security policy forbids eval
    int timeoutSeconds_ = 0; // the running network time-out, for its report
    QUrl navigationUrl_; // where the latest navigation set out to go
    std::map<std::int64_t, Call> calls_;
    QTimer networkTimer_;
    QTimer pollTimer_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace vantory
