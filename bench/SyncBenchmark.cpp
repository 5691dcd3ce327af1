// SPDX-License-Identifier: GPL-3.0-or-later
// Measures full passes of both sites in the real web worker against the fixture sites: wall time,
// the main process's own CPU time, the peak memory (PSS) of the process and its children, and how
// long the worker takes to quit after the pass. Prints one line per run.
//   vantory-sync-bench <fixture sites.py> [runs]
#include "app/QtScheduler.h"
#include "connection/PageScripts.h"
#include "connection/RemoteWebHost.h"
#include "connection/SiteConnections.h"
#include "model/Sites.h"
#include "store/Store.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sys/resource.h>

using namespace vantory;
using Json = nlohmann::json;

namespace {

// Proportional set size in KiB of a process and all its descendants.
long treePss(qint64 pid)
{
    long total = 0;
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (rollup.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : rollup.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                total += line.mid(4).trimmed().split(' ').front().toLong();
        }
    }
    for (const QString& task :
        QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(pid).arg(task));
        if (children.open(QIODevice::ReadOnly)) {
            for (const QByteArray& child : children.readAll().split(' ')) {
                if (!child.trimmed().isEmpty())
                    total += treePss(child.trimmed().toLongLong());
            }
        }
    }
    return total;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Six courses: four on the assessment site with 15 rows each, two on Canvas with 20 assignments.
Json scenario()
{
    Json assessment = Json::array();
    for (int course = 1; course <= 4; ++course) {
        Json rows = Json::array();
        for (int row = 1; row <= 15; ++row)
            rows.push_back({{"code", "HW" + std::to_string(row)}, {"title", "Homework " + std::to_string(row)},
                {"available", "100% until 23:59, Fri, Dec 12"}, {"score", "55%"},
                {"rules",
                    {{{"credit", "100%"}, {"start", "2025-12-01 10:00:00-08 (PST)"},
                        {"end", "2025-12-" + std::to_string(10 + row) + " 23:59:00-08 (PST)"}}}}});
        assessment.push_back(
            {{"id", std::to_string(course)}, {"text", "CS " + std::to_string(300 + course) + ": Course, 2025W1"},
                {"heading", "CS " + std::to_string(300 + course) + ", 2025W1"},
                {"groups", {{{"heading", "Homeworks"}, {"rows", rows}}}}});
    }
    Json canvas = Json::array();
    for (int course = 101; course <= 102; ++course) {
        Json assignments = Json::array();
        for (int id = 1; id <= 20; ++id)
            assignments.push_back({{"id", course * 100 + id}, {"name", "Lab " + std::to_string(id)},
                {"assignment_group_id", 1}, {"due_at", "2025-12-" + std::to_string(10 + id) + "T07:59:00Z"},
                {"unlock_at", nullptr}, {"submission", {{"workflow_state", id % 3 ? "unsubmitted" : "submitted"}}}});
        canvas.push_back({{"id", course}, {"name", "Course"}, {"course_code", "ECON " + std::to_string(course)},
            {"term", "2025W1"}, {"groups", {{{"id", 1}, {"name", "Labs"}}}}, {"assignments", assignments}});
    }
    return {{"assessment", {{"courses", assessment}}}, {"canvas", {{"courses", canvas}}}};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vantory-sync-bench <fixture sites.py> [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

    QProcess server;
    server.start(QStringLiteral("python3"), {QString::fromLocal8Bit(argv[1])});
    if (!server.waitForReadyRead(20000))
        return 1;
    const std::string port = QString::fromLatin1(server.readLine()).trimmed().toStdString();
    const std::string assessmentURL = "http://127.0.0.1:" + port;
    Sites::setCurrent({assessmentURL, "http://localhost:" + port});

    QNetworkAccessManager network;
    QNetworkRequest request(QUrl(QString::fromStdString(assessmentURL + "/__control")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    std::unique_ptr<QNetworkReply> posted(network.post(request, QByteArray::fromStdString(scenario().dump())));
    if (!QTest::qWaitFor([&] { return posted->isFinished(); }, 10000))
        return 1;

    QTemporaryDir folder;
    QtScheduler scheduler;
    Store store(std::filesystem::path(folder.path().toStdString()) / "state.json", scheduler.now());
    RemoteWebHost web(scheduler, folder.filePath(QStringLiteral("web")));
    SiteConnections connections(store, web, scheduler, PageScripts::fromResources());
    const qint64 self = QCoreApplication::applicationPid();
    std::printf("idle, before any worker: PSS %ld KiB\n", treePss(self));

    for (int run = 1; run <= runs; ++run) {
        long peak = 0;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] { peak = std::max(peak, treePss(self)); });
        sampler.start(50);
        const double cpuBefore = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        store.sync();
        if (!QTest::qWaitFor(
                [&] { return !connections.assessment().running() && !connections.canvas().running(); }, 300000))
            return 1;
        const double passSeconds = wall.elapsed() / 1000.0;
        const double cpu = cpuSeconds() - cpuBefore;
        if (!QTest::qWaitFor([&] { return web.workerProcessId() == 0; }, 60000))
            return 1;
        sampler.stop();
        std::printf("run %d: both passes %.2f s wall, main process CPU %.3f s; peak PSS %ld KiB; worker gone "
                    "%.1f s after the passes; items %zu; status \"%s\" / \"%s\"\n",
            run, passSeconds, cpu, peak, wall.elapsed() / 1000.0 - passSeconds, store.db().assessments.size(),
            store.status().c_str(), store.canvasStatus().c_str());
    }
    std::printf("idle, after the worker quit: PSS %ld KiB\n", treePss(self));
    server.closeWriteChannel();
    server.waitForFinished(5000);
    return 0;
}
