// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendarsync/CalendarServerSync.h"

#include "model/Dates.h"

#include "calendarsync/ServerCheck.h"
#include "calendarsync/SyncRun.h"

namespace vantory {

namespace {

std::size_t queueSize(const Database& db)
{
    return db.calendarServer ? db.calendarServer->queue.size() : 0;
}

} // namespace

CalendarServerSync::CalendarServerSync(Store& store, Scheduler& scheduler, HttpLimits limits)
    : store_(store)
    , client_(limits)
    , minute_(scheduler, [this] { syncSoon(); })
    , debounce_(scheduler, [this] { syncSoon(); })
    , observer_(store.observe([this](Store::Field field) { observe(field); }))
    , queued_(queueSize(store.db()))
{
    store.syncCalendarServer = [this] { syncSoon(); };
    // Coroutines without captures: the hook's std::function may be replaced while they wait.
    store.checkCalendarServer = [](const CalendarServerLogin& login, std::function<void(CalendarServerCheck)> done) {
        [](CalendarServerLogin login, std::function<void(CalendarServerCheck)> done) -> QCoro::Task<> {
            done(co_await ServerCheck::check(std::move(login)));
        }(login, std::move(done));
    };
    store.createCalendarCollection = [](const CalendarServerLogin& login, const std::string& home,
                                         std::function<void(std::optional<std::string>, std::string)> done) {
        [](CalendarServerLogin login, std::string home,
            std::function<void(std::optional<std::string>, std::string)> done) -> QCoro::Task<> {
            ServerCheck::Created created = co_await ServerCheck::create(std::move(login), std::move(home));
            done(std::move(created.address), std::move(created.text));
        }(login, home, std::move(done));
    };
    store.keepCalendarPassword = [this](const std::string& password, std::function<void(bool, std::string)> done) {
        keepPassword(password, std::move(done));
    };
    credentialsChanged();
}

CalendarServerSync::~CalendarServerSync()
{
    store_.unobserve(observer_);
    store_.syncCalendarServer = nullptr;
    store_.checkCalendarServer = nullptr;
    store_.createCalendarCollection = nullptr;
    store_.keepCalendarPassword = nullptr;
}

void CalendarServerSync::syncSoon()
{
    if (running_) {
        again_ = true;
        return;
    }
    loop();
}

void CalendarServerSync::observe(Store::Field field)
{
    if (field == Store::Field::brevaneSyncing || field == Store::Field::canvasSyncing) {
        // New items from the sites go out as soon as the sites' sync ends.
        if (sitesSyncing_ && !store_.syncing())
            syncSoon();
        sitesSyncing_ = store_.syncing();
    }
    if (field != Store::Field::db)
        return;
    const std::size_t queued = queueSize(store_.db());
    if (queued > queued_)
        debounce_.start(afterChange);
    queued_ = queued;
    const Settings& settings = store_.db().settings;
    const std::string collection = settings.calendarServer();
    const QString key = collection.empty() || !settings.calendarServerUser
        ? QString()
        : CalendarPassword::key(
            QString::fromStdString(*settings.calendarServerUser), QString::fromStdString(collection));
    if (key != key_)
        credentialsChanged();
}

void CalendarServerSync::credentialsChanged()
{
    const Settings& settings = store_.db().settings;
    const std::string collection = settings.calendarServer();
    const std::string user = settings.calendarServerUser.value_or(std::string{});
    key_ = collection.empty() || user.empty()
        ? QString()
        : CalendarPassword::key(QString::fromStdString(user), QString::fromStdString(collection));
    password_.clear();
    succeeded_ = false;
    // Without a server and a user nothing could run, so the minute's timer does not either.
    if (key_.isEmpty()) {
        minute_.stop();
        store_.setCalendarServerProgress(std::nullopt);
        store_.setCalendarServerStatus(collection.empty()
                ? std::string(wording().calendarServerOffStatus)
                : tr("캘린더 서버 사용자 이름을 입력해 주세요").toStdString());
        return;
    }
    store_.setCalendarServerStatus(tr("캘린더 서버 연결 준비 중").toStdString());
    minute_.startRepeating(interval);
    passwords_.read(key_, [this, key = key_](QString password) {
        // A password given meanwhile is newer than the stored one.
        if (key != key_ || !password_.isEmpty())
            return;
        password_ = std::move(password);
        if (password_.isEmpty())
            store_.setCalendarServerStatus(tr("캘린더 서버 비밀번호를 입력해 주세요").toStdString());
        else
            syncSoon();
    });
}

void CalendarServerSync::keepPassword(const std::string& password, std::function<void(bool, std::string)> done)
{
    if (key_.isEmpty())
        return done(false, tr("캘린더 서버 주소와 사용자 이름을 먼저 정해 주세요").toStdString());
    password_ = QString::fromStdString(password);
    passwords_.keep(key_, password_, [done = std::move(done)](CalendarPassword::Kept kept) {
        const bool stored = kept == CalendarPassword::Kept::secretStore;
        done(stored,
            (stored ? tr("비밀번호를 시스템 비밀번호 보관함에 저장했어요")
                    : tr("비밀번호 보관함이 없어 이번 실행 동안만 비밀번호를 기억해요"))
                .toStdString());
    });
    syncSoon();
}

QCoro::Task<> CalendarServerSync::loop()
{
    running_ = true;
    do {
        again_ = false;
        co_await runOnce();
    } while (again_);
    running_ = false;
}

QCoro::Task<> CalendarServerSync::runOnce()
{
    const Settings& settings = store_.db().settings;
    const std::string collection = settings.calendarServer();
    if (key_.isEmpty() || password_.isEmpty() || collection.empty())
        co_return; // the status already says what is missing
    client_.setCredentials(QString::fromStdString(settings.calendarServerUser.value_or(std::string{})), password_);
    if (!succeeded_)
        store_.setCalendarServerStatus(tr("캘린더 서버 동기화 중").toStdString());
    SyncRun run(store_, client_, collection);
    const std::optional<CalDavFailure> failure = co_await run.run();
    store_.setCalendarServerProgress(std::nullopt);
    succeeded_ = !failure;
    if (!failure)
        store_.setCalendarServerStatus(
            tr("캘린더 서버 최근 동기화 %1")
                .arg(QString::fromStdString(Dates::display(store_.now(), store_.zone(), "HH:mm")))
                .toStdString());
    else if (failure->kind == CalDavFailure::Kind::unauthorized)
        store_.setCalendarServerStatus(
            tr("캘린더 서버 로그인 실패 · 비밀번호를 확인해 주세요").toStdString(), calDavFailureText(*failure));
    else
        store_.setCalendarServerStatus(
            tr("캘린더 서버 동기화 실패 · 기존 일정 유지").toStdString(), calDavFailureText(*failure));
}

} // namespace vantory
