// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WorkerPage.h"

#include "web/ScriptBridge.h"

#include <QRandomGenerator>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace vantory {

namespace {

using WorkerProtocol::Navigation;

constexpr int pollMilliseconds = 100;
// Chromium's own limit for a URL; longer ones never reach a page.
constexpr qsizetype longestUrl = 2 * 1024 * 1024;
// Chromium's net::ERR_FAILED (a failure it names no better) and net::ERR_ABORTED (the navigation
// was stopped or replaced).
constexpr int failedError = -2;
constexpr int abortedError = -3;

// Tokens name calls on window; the random part keeps them apart from anything a page defines.
QString tokenFor(std::int64_t call)
{
    static const QString nonce = QString::number(QRandomGenerator::global()->generate64(), 36);
    return QStringLiteral("v") + nonce + QLatin1Char('_') + QString::number(call);
}

} // namespace

WorkerPage::WorkerPage(WorkerProtocol::PageId id, bool hidden, QWebEngineProfile* profile, Sink sink, QObject* parent)
    : QWebEnginePage(profile, parent)
    , id_(id)
    , hidden_(hidden)
    , sink_(std::move(sink))
{
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    // A failed load keeps the page where it was, as the connections expect; a login window covers
    // it with its own Korean panel instead of the engine's English page.
    settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    networkTimer_.setSingleShot(true);
    pollTimer_.setInterval(pollMilliseconds);

    connect(this, &QWebEnginePage::loadingChanged, this, &WorkerPage::onLoadingChanged);
    connect(this, &QWebEnginePage::urlChanged, this, [this] { sink_(WorkerProtocol::UrlChanged{id_, currentUrl()}); });
    connect(this, &QWebEnginePage::renderProcessTerminated, this, &WorkerPage::onRenderProcessTerminated);
    // Pop-ups and links with a blank target continue in this page.
    connect(this, &QWebEnginePage::newWindowRequested, this,
        [this](QWebEngineNewWindowRequest& request) { load(request.requestedUrl()); });
    connect(&networkTimer_, &QTimer::timeout, this, &WorkerPage::onNetworkTimeout);
    connect(&pollTimer_, &QTimer::timeout, this, &WorkerPage::poll);
}

WorkerPage::~WorkerPage()
{
    // The engine may answer pending scripts while the base class is torn down.
    *alive_ = false;
}

void WorkerPage::startLoad(std::int64_t load, const QUrl& url, double timeout)
{
    load_ = load;
    swallowEndOf_ = -1;
    // Every load of the application wants the page as the site has it now: Chromium fetches a
    // request that says no-cache from the network.
    QWebEngineHttpRequest request(url);
    request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    QWebEnginePage::load(request);
    // Qt 6.4 has no per-request network time-out, so the page keeps its own.
    networkTimer_.stop();
    if (std::isfinite(timeout) && timeout > 0 && timeout < 24 * 3600) {
        timeoutSeconds_ = static_cast<int>(std::ceil(timeout));
        networkTimer_.start(static_cast<int>(std::ceil(timeout * 1000)));
    }
}

void WorkerPage::stopLoad()
{
    networkTimer_.stop();
    triggerAction(QWebEnginePage::Stop);
}

void WorkerPage::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    const QString url = currentUrl();
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        evalBlocked_ = false;
        navigationUrl_ = info.url();
        sink_(Navigation{id_, load_, Navigation::State::started, url});
        return;
    }
    networkTimer_.stop();
    ++documents_;
    dropCallsOfOldDocuments();
    if (swallowEndOf_ == load_) {
        swallowEndOf_ = -1;
        return;
    }
    // The server answered with a page, an error page included: that navigation finished, and the
    // status says what kind of page it was.
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
        sink_(Navigation{id_, load_, Navigation::State::finished, url});
        return;
    }
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain && info.errorCode() >= 400
        && info.errorCode() <= 999) {
        sink_(Navigation{id_, load_, Navigation::State::finished, url, false, {}, info.errorCode()});
        return;
    }
    const bool cancelled
        = info.status() == QWebEngineLoadingInfo::LoadStoppedStatus || info.errorCode() == abortedError;
    // The engine's net errors lie between -1 and -999; a stop reports none.
    const int code = info.errorCode() < 0 && info.errorCode() >= -999 ? info.errorCode()
        : cancelled                                                   ? abortedError
                                                                      : failedError;
    // A page whose navigation failed goes back to the address it showed before; the report names
    // the address that failed, where a sign-in would be looked for and what the student must check.
    sink_(Navigation{id_, load_, Navigation::State::failed, cancelled ? url : text(info.url()), cancelled,
        {LoadFailure::Kind::network, code}});
}

void WorkerPage::onNetworkTimeout()
{
    if (!isLoading())
        return;
    sink_(Navigation{id_, load_, Navigation::State::failed, text(navigationUrl_), false,
        {LoadFailure::Kind::timedOut, timeoutSeconds_}});
    // The stop ends the load once more; that end was just reported.
    swallowEndOf_ = load_;
    triggerAction(QWebEnginePage::Stop);
}

void WorkerPage::onRenderProcessTerminated()
{
    networkTimer_.stop();
    if (isLoading())
        swallowEndOf_ = load_;
    failAllCalls();
    sink_(WorkerProtocol::Terminated{id_});
}

void WorkerPage::startCall(std::int64_t call, const QString& script, bool async)
{
    calls_[call] = Call{tokenFor(call), async, false, documents_};
    runStart(call, script, evalBlocked_);
}

void WorkerPage::runStart(std::int64_t call, const QString& script, bool fallback)
{
    Call& entry = calls_.at(call);
    entry.document = documents_;
    QString source;
    if (entry.async)
        source = fallback ? ScriptBridge::startAsyncWithoutEval(script, entry.token)
                          : ScriptBridge::startAsync(script, entry.token);
    else
        source = fallback ? script : ScriptBridge::evaluate(script);
    run(source, [this, call, script, fallback](const QVariant& answer) { onStarted(call, script, fallback, answer); });
}

void WorkerPage::onStarted(std::int64_t call, const QString& script, bool fallback, const QVariant& answer)
{
    const auto found = calls_.find(call);
    if (found == calls_.end())
        return;
    if (fallback && !found->second.async) {
        finishCall(call, ScriptBridge::readPlain(answer));
        return;
    }
    const ScriptBridge::Answer read = ScriptBridge::read(answer);
    switch (read.kind) {
    case ScriptBridge::Answer::Kind::outcome:
        finishCall(call, read.outcome);
        return;
    case ScriptBridge::Answer::Kind::noEval:
        evalBlocked_ = true;
        runStart(call, script, true);
        return;
    case ScriptBridge::Answer::Kind::started:
    case ScriptBridge::Answer::Kind::pending:
        found->second.started = true;
        if (!pollTimer_.isActive())
            pollTimer_.start();
        return;
    case ScriptBridge::Answer::Kind::lost:
        // Without eval, a body that does not parse stops the start script before it answers.
        if (fallback)
            finishCall(call, PageError{PageError::Kind::script, "the script could not be parsed"});
        else
            finishCall(call, PageError{PageError::Kind::terminated});
        return;
    }
}

void WorkerPage::poll()
{
    bool polled = false;
    for (const auto& [call, entry] : calls_) {
        if (!entry.async || !entry.started)
            continue;
        polled = true;
        run(ScriptBridge::poll(entry.token), [this, call = call](const QVariant& answer) { onPolled(call, answer); });
    }
    if (!polled)
        pollTimer_.stop();
}

void WorkerPage::onPolled(std::int64_t call, const QVariant& answer)
{
    if (!calls_.contains(call))
        return;
    const ScriptBridge::Answer read = ScriptBridge::read(answer);
    if (read.kind == ScriptBridge::Answer::Kind::outcome)
        finishCall(call, read.outcome);
    else if (read.kind == ScriptBridge::Answer::Kind::lost)
        finishCall(call, PageError{PageError::Kind::terminated});
    else if (read.kind != ScriptBridge::Answer::Kind::pending)
        finishCall(call, PageError{PageError::Kind::script, "malformed script outcome"});
}

void WorkerPage::finishCall(std::int64_t call, ScriptOutcome outcome)
{
    if (calls_.erase(call) == 0)
        return;
    sink_(WorkerProtocol::Result{call, std::move(outcome)});
}

void WorkerPage::failAllCalls()
{
    const auto calls = std::exchange(calls_, {});
    pollTimer_.stop();
    for (const auto& [call, entry] : calls)
        sink_(WorkerProtocol::Result{call, PageError{PageError::Kind::terminated}});
}

void WorkerPage::dropCallsOfOldDocuments()
{
    // A script sent to a document that a navigation then replaced may never be answered. Answers
    // come in order, so once a marker script sent now answers, every start that is still
    // unanswered and older than this navigation is lost.
    const int documents = documents_;
    const auto unanswered
        = [documents](const auto& entry) { return !entry.second.started && entry.second.document < documents; };
    if (std::none_of(calls_.begin(), calls_.end(), unanswered))
        return;
    run(QStringLiteral("0"), [this, unanswered](const QVariant&) {
        std::vector<std::int64_t> lost;
        for (const auto& entry : calls_)
            if (unanswered(entry))
                lost.push_back(entry.first);
        for (const std::int64_t call : lost)
            finishCall(call, PageError{PageError::Kind::terminated});
    });
}

void WorkerPage::run(const QString& script, std::function<void(const QVariant&)> callback)
{
    runJavaScript(script, 0, [alive = std::weak_ptr<bool>(alive_), callback = std::move(callback)](const QVariant& v) {
        if (const auto flag = alive.lock(); flag && *flag)
            callback(v);
    });
}

QString WorkerPage::currentUrl() const
{
    return text(url());
}

QString WorkerPage::text(const QUrl& url)
{
    const QString text = url.toString(QUrl::FullyEncoded);
    return text.size() <= longestUrl ? text : QString();
}

void WorkerPage::javaScriptAlert(const QUrl& origin, const QString& message)
{
    if (!hidden_)
        QWebEnginePage::javaScriptAlert(origin, message);
}

bool WorkerPage::javaScriptConfirm(const QUrl& origin, const QString& message)
{
    return !hidden_ && QWebEnginePage::javaScriptConfirm(origin, message);
}

bool WorkerPage::javaScriptPrompt(
    const QUrl& origin, const QString& message, const QString& defaultValue, QString* result)
{
    return !hidden_ && QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
}

void WorkerPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&)
{
    // The sites' console output is not the worker's to print.
}

} // namespace vantory
