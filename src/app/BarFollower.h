// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Database.h"
#include "status/BarLine.h"
#include "status/StatusLine.h"

#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "schedule/Scheduler.h"
#include "schedule/Timer.h"

namespace vantory {

// The status line for another bar (vantory --bar), composed from the state file alone. It only
// reads the file, so it runs beside the application without becoming a second writer, and it
// prints a line whenever the text changes: at the composition's own boundaries (rotation,
// countdown) and when the application saves the file. The sync state lives in the application,
// so the tooltip reports only the last update.
class BarFollower {
public:
    // Takes one line without its line break; false when the bar has gone away.
    using Sink = std::function<bool(const std::string& line)>;

    BarFollower(std::filesystem::path stateFile, BarFormat format, Scheduler& scheduler, Sink sink);

    // Reads the file and prints the current line.
    bool printOnce();
    // Prints the current line, then follows the file and the clock until the sink fails, when
    // closed is called.
    void follow(std::function<void()> closed);

    // Ends the following as soon as the reader of the pipe at descriptor goes away, rather than at
    // the next line, which may be a minute off. Anything but a pipe is left alone.
    void stopWhenPipeCloses(int descriptor);

    // Writes a line and its break to standard output, whole; false once the reader closed it.
    static bool writeToStandardOutput(const std::string& line);

private:
    void stop();
    void update();
    void reloadIfChanged();
    // Composes and prints when the text differs from the last printed one; false when the sink failed.
    bool print();
    void watch();

    std::filesystem::path path_;
    BarFormat format_;
    Scheduler& scheduler_;
    Sink sink_;
    std::function<void()> closed_;

    Database db_;
    std::string storageProblem_;
    struct stat fileIdentity_ { };
    bool loaded_ = false;
    StatusLineState state_;
    std::string printed_;

    QFileSystemWatcher watcher_;
    std::unique_ptr<QSocketNotifier> hangUp_;
    Timer boundary_;
    Timer settle_;
};

} // namespace vantory
