// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/RemoteLoginView.h"
#include "connection/RemotePage.h"
#include "connection/WebHost.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "protocol/WorkerProtocol.h"
#include "schedule/Scheduler.h"
#include "schedule/Timer.h"

class QProcess;

namespace vantory {

struct RemoteWebHostOptions {
    // The worker is asked to quit this long after its last page work ended (no load or script
    // pending, no login window showing).
    Scheduler::Duration idleQuit{10.0};
    // A worker that does not greet, or does not answer a script, within this long counts as hung.
    Scheduler::Duration replyTimeout{60.0};
    // How long a worker asked to quit may take before it is killed; the host's destructor waits at
    // most this long too. A killed worker loses the cookies it had not written yet (the sign-in),
    // so this is generous: a clean quit takes some 30 ms, but far longer on a machine under load.
    Scheduler::Duration quitGrace{10.0};
    // The worker's standard error goes to ours (the engine is chatty), or nowhere.
    bool forwardErrors = false;
};

// The application's WebHost: the pages and login windows live in a vantory-web process, started on
// first use and asked to quit when idle, so the application never carries the web engine. The
// worker's output is untrusted: anything malformed, oversized or out of turn, a crash, an exit or
// a hang ends that worker; every pending load then ends in onTerminated, every pending script in
// PageError::terminated, and the next use starts a fresh one. One worker at a time, so the profile
// in profileFolder never has two users. Callbacks still pending when the host is destroyed are
// dropped. Main thread only.
class RemoteWebHost final : public WebHost {
public:
    // The worker program: $VANTORY_WEB_WORKER, else vantory-web beside the application, else
    // ../libexec/vantory/vantory-web from it.
    static QString workerProgram();

    RemoteWebHost(Scheduler& scheduler, QString profileFolder, RemoteWebHostOptions options = {});
    RemoteWebHost(const RemoteWebHost&) = delete;
    RemoteWebHost& operator=(const RemoteWebHost&) = delete;
    // Asks a running worker to quit, waiting at most quitGrace before killing it.
    ~RemoteWebHost() override;

    WebPage& workerPage(Site site) override;
    LoginView& loginView(Site site) override;

    // The running worker's process id, 0 when none; how many workers have been started.
    qint64 workerProcessId() const;
    int workersStarted() const { return generation_; }

private:
    friend class RemotePage;
    friend class RemoteLoginView;

    struct Call {
        int generation = 0;
        std::function<void(ScriptOutcome)> done;
        Scheduler::Cookie deadline = 0;
    };

    // Sends command to the worker, starting one when start is set and none runs; queued while the
    // previous worker is still going. Returns the generation of the worker it goes to, 0 if none.
    int send(const WorkerProtocol::Command& command, bool start);
    void call(
        WorkerProtocol::PageId page, const std::string& script, bool async, std::function<void(ScriptOutcome)> done);
    // Page work began or ended: the idle quit is armed or disarmed.
    void workChanged();

    void callOverdue(std::int64_t id);
    void write(const QByteArray& line);
    bool running() const;
    bool busy() const;
    void startWorker();
    void readOutput();
    bool receive(const WorkerProtocol::Event& event);
    void fail();
    void quitWhenIdle();
    void workerEnded(QProcess* process, bool clean);
    std::vector<std::function<void()>> dropWorker(bool abnormal);
    RemotePage& page(WorkerProtocol::PageId id);

    Scheduler& scheduler_;
    QString profileFolder_;
    RemoteWebHostOptions options_;
    std::array<std::unique_ptr<RemotePage>, 2> hiddenPages_;
    std::array<std::unique_ptr<RemoteLoginView>, 2> loginViews_;
    QObject context_; // of the process's connections
    std::unique_ptr<QProcess> process_;
    int generation_ = 0; // of the latest worker started
    bool ready_ = false;
    bool quitting_ = false; // quit was sent
    bool dropped_ = false; // given up on; its end is awaited
    WorkerProtocol::LineBuffer output_;
    std::vector<WorkerProtocol::Command> queue_; // for the next worker
    std::map<std::int64_t, Call> calls_;
    std::int64_t nextCall_ = 1;
    Timer handshake_;
    Timer idle_;
    Timer kill_;
};

} // namespace vantory
