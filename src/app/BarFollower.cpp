// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BarFollower.h"

#include "engine/Engine.h"
#include "model/StateFile.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace vantory {

namespace {

// A save lands as a temporary file renamed over the old one: one read once the folder is quiet.
constexpr Scheduler::Duration settleDelay{0.05};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

BarFollower::BarFollower(std::filesystem::path stateFile, BarFormat format, Scheduler& scheduler, Sink sink)
    : path_(std::move(stateFile))
    , format_(format)
    , scheduler_(scheduler)
    , sink_(std::move(sink))
    , boundary_(scheduler, [this] { update(); })
    , settle_(scheduler, [this] { update(); })
{
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, [this] { settle_.start(settleDelay); });
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, [this] { settle_.start(settleDelay); });
}

bool BarFollower::printOnce()
{
    reloadIfChanged();
    return print();
}

void BarFollower::follow(std::function<void()> closed)
{
    closed_ = std::move(closed);
    watch();
    printOnce();
}

void BarFollower::update()
{
    watch();
    reloadIfChanged();
    print();
}

void BarFollower::watch()
{
    // The file is watched for edits in place, its folder for the rename of a save, and a linked
    // file's own folder, where the application saves through the link.
    std::vector<std::filesystem::path> paths{path_, path_.parent_path()};
    std::error_code error;
    if (const auto target = std::filesystem::canonical(path_, error); !error && target != path_)
        paths.push_back(target.parent_path());
    for (const auto& path : paths) {
        const QString name = QString::fromStdString(path.string());
        if (!watcher_.files().contains(name) && !watcher_.directories().contains(name))
            watcher_.addPath(name);
    }
}

void BarFollower::reloadIfChanged()
{
    struct stat identity { };
    const bool exists = ::stat(path_.c_str(), &identity) == 0;
    if (!exists)
        identity = {};
    if (loaded_ && exists && sameFile(identity, fileIdentity_))
        return;
    StateFile file(path_);
    db_ = file.read().value_or(Database{});
    storageProblem_ = file.storageError() ? *file.storageError() + " (" + path_.string() + ")" : std::string();
    fileIdentity_ = identity;
    loaded_ = true;
}

bool BarFollower::print()
{
    const Instant now = scheduler_.now();
    const StatusLineInput input{db_, now, {}, Engine::lastUpdateText(db_), {}, storageProblem_};
    const StatusLine line = composeStatusLine(input, state_, [](const StatusText&) { return 0.0; });
    boundary_.start(Scheduler::Duration(line.nextBoundary));

    std::string text = barLine(format_, line, urgencyClass(line, db_, now, !storageProblem_.empty()));
    if (text == printed_)
        return true;
    if (!sink_(text)) {
        stop();
        return false;
    }
    printed_ = std::move(text);
    return true;
}

void BarFollower::stop()
{
    boundary_.stop();
    settle_.stop();
    hangUp_.reset();
    if (const QStringList watched = watcher_.files() + watcher_.directories(); !watched.isEmpty())
        watcher_.removePaths(watched);
    if (const auto closed = std::exchange(closed_, nullptr))
        closed();
}

void BarFollower::stopWhenPipeCloses(int descriptor)
{
    struct stat file { };
    if (::fstat(descriptor, &file) != 0 || !S_ISFIFO(file.st_mode))
        return;
    // A pipe's writing end never reads; it reports an error once the reader closed its end, which
    // Qt delivers as readability.
    hangUp_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    QObject::connect(hangUp_.get(), &QSocketNotifier::activated, [this, descriptor] {
        pollfd state{descriptor, 0, 0};
        if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLERR | POLLHUP)) != 0)
            stop();
    });
}

bool BarFollower::writeToStandardOutput(const std::string& line)
{
    const std::string text = line + '\n';
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = ::write(STDOUT_FILENO, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

} // namespace vantory
