// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/RemoteWebHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

namespace vantory {

namespace {

using namespace WorkerProtocol;

std::size_t indexOf(Site site)
{
    return site == Site::canvas ? 1 : 0;
}

int milliseconds(Scheduler::Duration duration)
{
    const double ms = std::ceil(duration.count() * 1000);
    return ms > 0 ? static_cast<int>(std::min(ms, 3'600'000.0)) : 0;
}

// A script that would not fit in one message.
constexpr std::size_t longestScript = maxMessageBytes - 64 * 1024;

} // namespace

QString RemoteWebHost::workerProgram()
{
    const QString chosen = qEnvironmentVariable("VANTORY_WEB_WORKER");
    if (!chosen.isEmpty())
        return chosen;
    const QString folder = QCoreApplication::applicationDirPath();
    const QString beside = folder + QStringLiteral("/vantory-web");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(folder + QStringLiteral("/../libexec/vantory/vantory-web"));
}

RemoteWebHost::RemoteWebHost(Scheduler& scheduler, QString profileFolder, RemoteWebHostOptions options)
    : scheduler_(scheduler)
    , profileFolder_(std::move(profileFolder))
    , options_(options)
    , handshake_(scheduler, [this] { fail(); })
    , idle_(scheduler, [this] { quitWhenIdle(); })
    , kill_(scheduler, [this] {
        if (process_)
            process_->kill();
    })
{
    for (const Site site : {Site::assessment, Site::canvas}) {
        hiddenPages_[indexOf(site)] = std::make_unique<RemotePage>(*this, hiddenPage(site));
        loginViews_[indexOf(site)] = std::make_unique<RemoteLoginView>(*this, site);
    }
}

RemoteWebHost::~RemoteWebHost()
{
    for (const auto& [id, call] : calls_)
        scheduler_.cancel(call.deadline);
    if (!process_)
        return;
    QObject::disconnect(process_.get(), nullptr, &context_, nullptr);
    if (!quitting_ && !dropped_)
        write(encode(Quit{}));
    process_->closeWriteChannel();
    if (!process_->waitForFinished(milliseconds(options_.quitGrace))) {
        process_->kill();
        process_->waitForFinished(1000);
    }
}

WebPage& RemoteWebHost::workerPage(Site site)
{
    return *hiddenPages_[indexOf(site)];
}

LoginView& RemoteWebHost::loginView(Site site)
{
    return *loginViews_[indexOf(site)];
}

qint64 RemoteWebHost::workerProcessId() const
{
    return process_ ? process_->processId() : 0;
}

bool RemoteWebHost::running() const
{
    return process_ && !quitting_ && !dropped_;
}

bool RemoteWebHost::busy() const
{
    if (!calls_.empty())
        return true;
    return std::any_of(hiddenPages_.begin(), hiddenPages_.end(), [](const auto& p) { return p->busy(); })
        || std::any_of(loginViews_.begin(), loginViews_.end(),
            [](const auto& v) { return v->isVisible() || v->remotePage().busy(); });
}

int RemoteWebHost::send(const Command& command, bool start)
{
    if (!process_) {
        if (!start)
            return 0;
        startWorker();
    }
    if (!running()) {
        queue_.push_back(command);
        return generation_ + 1;
    }
    write(encode(command));
    return generation_;
}

void RemoteWebHost::call(PageId page, const std::string& script, bool async, std::function<void(ScriptOutcome)> done)
{
    if (script.size() > longestScript) {
        done(PageError{PageError::Kind::script, "the script is too large"});
        return;
    }
    const std::int64_t id = nextCall_++;
    Call& entry = calls_[id];
    entry.done = std::move(done);
    entry.deadline = scheduler_.schedule(options_.replyTimeout, [this, id] { callOverdue(id); });
    entry.generation = send(Evaluate{page, id, QString::fromStdString(script), async}, true);
    workChanged();
}

void RemoteWebHost::callOverdue(std::int64_t id)
{
    const auto found = calls_.find(id);
    if (found == calls_.end())
        return;
    // A call still waiting for the previous worker to end has not reached its worker yet.
    if (found->second.generation != generation_ || !running()) {
        found->second.deadline = scheduler_.schedule(options_.replyTimeout, [this, id] { callOverdue(id); });
        return;
    }
    fail();
}

void RemoteWebHost::write(const QByteArray& line)
{
    if (process_->state() != QProcess::NotRunning)
        process_->write(line);
}

void RemoteWebHost::workChanged()
{
    if (running() && !busy()) {
        if (!idle_.isActive())
            idle_.start(options_.idleQuit);
    } else {
        idle_.stop();
    }
}

void RemoteWebHost::startWorker()
{
    ++generation_;
    ready_ = false;
    quitting_ = false;
    dropped_ = false;
    output_ = LineBuffer{};
    process_ = std::make_unique<QProcess>();
    QProcess* process = process_.get();
    if (options_.forwardErrors)
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    else
        process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::readyReadStandardOutput, &context_, [this] { readOutput(); });
    QObject::connect(process, &QProcess::finished, &context_, [this, process](int code, QProcess::ExitStatus status) {
        workerEnded(process, status == QProcess::NormalExit && code == 0);
    });
    // Queued: a program that cannot start may say so inside start(), before the caller is done.
    QObject::connect(
        process, &QProcess::errorOccurred, &context_,
        [this, process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                workerEnded(process, false);
        },
        Qt::QueuedConnection);
    process->start(workerProgram(), {QStringLiteral("--profile"), profileFolder_});
    write(encode(Hello{}));
    handshake_.start(options_.replyTimeout);
}

void RemoteWebHost::readOutput()
{
    QProcess* process = process_.get();
    if (!process || dropped_)
        return;
    output_.append(process->readAllStandardOutput());
    while (process_.get() == process && !dropped_) {
        const std::optional<QByteArray> line = output_.take();
        if (!line)
            break;
        const std::optional<Event> event = decodeEvent(*line);
        if (!event || !receive(*event)) {
            fail();
            return;
        }
    }
    if (process_.get() == process && output_.overflowed())
        fail();
}

bool RemoteWebHost::receive(const Event& event)
{
    if (const auto* ready = std::get_if<Ready>(&event)) {
        if (ready_ || ready->version != WorkerProtocol::version)
            return false;
        ready_ = true;
        handshake_.stop();
        return true;
    }
    if (!ready_)
        return false;
    return std::visit(
        [this](const auto& e) -> bool {
            using T = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<T, Navigation>) {
                return page(e.page).receive(e);
            } else if constexpr (std::is_same_v<T, UrlChanged> || std::is_same_v<T, Terminated>) {
                page(e.page).receive(e);
                return true;
            } else if constexpr (std::is_same_v<T, Result>) {
                const auto found = calls_.find(e.call);
                if (found == calls_.end() || found->second.generation != generation_)
                    return false;
                auto done = std::move(found->second.done);
                scheduler_.cancel(found->second.deadline);
                calls_.erase(found);
                workChanged();
                done(e.outcome);
                return true;
            } else if constexpr (std::is_same_v<T, LoginButton>) {
                return loginViews_[indexOf(siteOf(e.page))]->receive(e);
            } else {
                return false; // a second Ready
            }
        },
        event);
}

void RemoteWebHost::fail()
{
    if (!process_ || dropped_)
        return;
    process_->kill();
    auto notifications = dropWorker(true);
    dropped_ = true; // until its end arrives, new work waits for the next worker
    for (const auto& notify : notifications)
        notify();
}

void RemoteWebHost::quitWhenIdle()
{
    if (!running() || busy())
        return;
    quitting_ = true;
    write(encode(Quit{}));
    process_->closeWriteChannel();
    kill_.start(options_.quitGrace);
}

void RemoteWebHost::workerEnded(QProcess* process, bool clean)
{
    if (process != process_.get())
        return;
    process_.release()->deleteLater();
    kill_.stop();
    std::vector<std::function<void()>> notifications;
    if (!dropped_)
        notifications = dropWorker(!(clean && quitting_));
    quitting_ = false;
    dropped_ = false;
    // Work that waited for this worker's end goes to a fresh one before anyone hears of the end,
    // so it keeps its place ahead of whatever the notifications start.
    if (!queue_.empty()) {
        startWorker();
        for (const Command& command : std::exchange(queue_, {}))
            write(encode(command));
    }
    for (const auto& notify : notifications)
        notify();
    workChanged();
}

std::vector<std::function<void()>> RemoteWebHost::dropWorker(bool abnormal)
{
    const int generation = generation_;
    ready_ = false;
    handshake_.stop();
    idle_.stop();
    std::vector<std::function<void()>> notifications;
    for (const auto& p : hiddenPages_)
        p->workerGone(generation, abnormal, notifications);
    for (const auto& v : loginViews_)
        v->remotePage().workerGone(generation, abnormal, notifications);
    for (auto it = calls_.begin(); it != calls_.end();) {
        if (it->second.generation > generation) {
            ++it;
            continue;
        }
        scheduler_.cancel(it->second.deadline);
        notifications.push_back([done = std::move(it->second.done)] { done(PageError{PageError::Kind::terminated}); });
        it = calls_.erase(it);
    }
    for (const auto& v : loginViews_)
        v->workerGone(generation, notifications);
    return notifications;
}

RemotePage& RemoteWebHost::page(PageId id)
{
    switch (id) {
    case PageId::assessment:
        return *hiddenPages_[0];
    case PageId::canvas:
        return *hiddenPages_[1];
    case PageId::assessmentLogin:
        return loginViews_[0]->remotePage();
    case PageId::canvasLogin:
        break;
    }
    return loginViews_[1]->remotePage();
}

} // namespace vantory
