// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/BrevaneConnection.h"

#include "connection/AssessmentPass.h"
#include "connection/CanvasPass.h"
#include "store/Store.h"

namespace vantory {

BrevaneConnection::BrevaneConnection(Store& store, Site site, WebHost& host, Scheduler& scheduler, PageScripts scripts)
    : store_(store)
    , site_(site)
    , page_(host.workerPage(site))
    , scheduler_(scheduler)
    , scripts_(std::move(scripts))
    , login_(*this, host.loginView(site))
    , watchdog_(scheduler,
          [this] {
              finishLoad(StepError::of(Failure::timeout));
              page_.stop();
          })
    , due_(scheduler, [this] { syncIfDue(); })
    // A change of the settings (the interval, the sites, Canvas switched on) may bring the next
    // pass closer or make one possible again.
    , observer_(store.observe([this](Store::Field field) {
        if (field == Store::Field::db && scheduled_)
            syncIfDue();
    }))
{
    page_.onFinished = [this] { finishLoad(std::nullopt); };
    page_.onFailed = [this](const PageError& error) { finishLoad(StepError::of(error)); };
    page_.onTerminated = [this] { finishLoad(StepError::of(PageError{PageError::Kind::terminated})); };
}

BrevaneConnection::~BrevaneConnection()
{
    store_.unobserve(observer_);
    page_.onFinished = nullptr;
    page_.onFailed = nullptr;
    page_.onTerminated = nullptr;
}

void BrevaneConnection::syncIfDue()
{
    // Armed only for when the interval runs out; from now on a pass's end or a change of the
    // settings asks again, and a sign-in starts a pass itself.
    scheduled_ = true;
    due_.stop();
    if (running_ || !Sites::current().uses(site_))
        return;
    const Database& db = store_.db();
    if (isCanvas() ? store_.canvasNeedsLogin() || db.settings.canvasEnabled == false : store_.needsLogin())
        return;
    // A clock set back before the last attempt waits until the interval has passed from it.
    if (lastAttempt_) {
        const double wait = double(db.settings.syncMinutes) * 60 - (scheduler_.now() - *lastAttempt_).count();
        if (wait > 0) {
            due_.start(Scheduler::Duration(wait));
            return;
        }
    }
    sync();
}

void BrevaneConnection::woke()
{
    store_.setNow(scheduler_.now());
    if (store_.onChange)
        store_.onChange();
    if (scheduled_)
        syncIfDue();
}

void BrevaneConnection::sync()
{
    if (running_ || !Sites::current().uses(site_))
        return;
    if (isCanvas()) {
        if (store_.db().settings.canvasEnabled == false)
            return;
        running_ = true;
        store_.setCanvasSyncing(true);
        store_.setCanvasNeedsLogin(false);
    } else {
        // Without the extraction script a pass could never read a course.
        if (scripts_.extract.empty())
            return;
        running_ = true;
        store_.setBrevaneSyncing(true);
        store_.setNeedsLogin(false);
    }
    lastAttempt_ = scheduler_.now();
    startPass();
}

void BrevaneConnection::startPass()
{
    // The task runs on by itself after its first suspension; it ends with endPass().
    runPass();
}

QCoro::Task<> BrevaneConnection::runPass()
{
    // Whatever a step throws (a reader of page text, a store hook), the pass ends with its texts,
    // so the site never stays "syncing" until a restart.
    try {
        // Not "co_await (a ? b : c)": GCC 12 loses the awaited task of a conditional expression.
        if (isCanvas())
            co_await CanvasPass::run(*this);
        else
            co_await AssessmentPass::run(*this);
    } catch (const std::exception&) {
        if (isCanvas())
            store_.setCanvasStatus(tr("Canvas 동기화 오류 · 기존 일정 유지").toStdString());
        else
            store_.setStatus(tr("동기화 오류 · 기존 일정 유지").toStdString());
        endPass();
    }
}

void BrevaneConnection::endPass()
{
    running_ = false;
    if (isCanvas())
        store_.setCanvasSyncing(false);
    else
        store_.setBrevaneSyncing(false);
    if (store_.onChange)
        store_.onChange();
    if (scheduled_)
        syncIfDue();
}

QCoro::Task<std::optional<StepError>> BrevaneConnection::load(std::string url)
{
    const Completion<std::optional<StepError>> loaded;
    pendingLoad_ = loaded;
    watchdog_.start(loadWatchdog);
    page_.load(url, networkTimeoutSeconds);
    co_return co_await loaded;
}

void BrevaneConnection::finishLoad(std::optional<StepError> outcome)
{
    watchdog_.stop();
    // A late callback of a load that already ended finds no waiter and is dropped.
    if (auto pending = std::exchange(pendingLoad_, std::nullopt))
        resumeLater(*pending, std::move(outcome));
}

QCoro::Task<ScriptOutcome> BrevaneConnection::evaluate(std::string script)
{
    const Completion<ScriptOutcome> result;
    page_.evaluate(script, [this, result](ScriptOutcome outcome) { resumeLater(result, std::move(outcome)); });
    co_return co_await result;
}

QCoro::Task<ScriptOutcome> BrevaneConnection::callAsync(std::string body)
{
    const Completion<ScriptOutcome> result;
    page_.callAsync(body, [this, result](ScriptOutcome outcome) { resumeLater(result, std::move(outcome)); });
    co_return co_await result;
}

void BrevaneConnection::checkAddress(std::string url, AddressReport report)
{
    if (running_) {
        report(false, tr("동기화 중이라 확인할 수 없어요. 잠시 후 다시 눌러 주세요.").toStdString());
        return;
    }
    running_ = true;
    runAddressCheck(std::move(url), std::move(report));
}

QCoro::Task<> BrevaneConnection::runAddressCheck(std::string url, AddressReport report)
{
    const std::optional<StepError> error = co_await load(url);
    running_ = false;
    if (error) {
        report(false, tr("연결 실패 · %1").arg(QString::fromStdString(vantory::reason(*error))).toStdString());
        co_return;
    }
    const QUrl reached = currentURL();
    const QString host = reached.host(QUrl::FullyEncoded);
    const bool secure = reached.scheme() == QLatin1String("https");
    const QString where = host != QUrl(QString::fromStdString(url)).host(QUrl::FullyEncoded)
        ? tr("%1 (입력한 주소에서 이동)").arg(host)
        : host;
    std::string said = (secure ? tr("연결됨 · 보안 연결 (https) · %1").arg(where)
                               : tr("연결됨 · 보안되지 않은 연결 (%1) · %2").arg(reached.scheme(), where))
                           .toStdString();
    if (const int status = page_.errorStatus())
        said += " · " + loadFailureText({LoadFailure::Kind::httpStatus, status});
    report(true, said);
}

std::string BrevaneConnection::reason(const StepError& error) const
{
    // A page the step could not read may be the site's own error page, which says more.
    const bool unread = error.kind == StepError::Kind::decoding || error.kind == StepError::Kind::script
        || (error.kind == StepError::Kind::failure
            && (error.failure == Failure::structure || error.failure == Failure::wrongCourse));
    if (const int status = page_.errorStatus(); unread && status != 0)
        return loadFailureText({LoadFailure::Kind::httpStatus, status});
    return vantory::reason(error);
}

QUrl BrevaneConnection::currentURL() const
{
    return QUrl(QString::fromStdString(page_.url()));
}

} // namespace vantory
