// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTranslator>

#include <array>
#include <memory>

#include "protocol/WorkerProtocol.h"

class QWebEngineProfile;
class QWebEngineView;

namespace vantory {

class LoginWindow;
class WorkerPage;

// The worker process's one object: reads the application's commands from input, drives the pages
// and login windows, and writes their events to output. It asks the application to quit when told
// to, when input ends (the application is gone) or when input is not the protocol; destroying it
// destroys the pages before the profile, so the engine writes the cookies out.
class WebWorker final : public QObject {
public:
    // input, output: the protocol's file descriptors, not owned.
    WebWorker(const QString& profileFolder, int input, int output);
    ~WebWorker() override;

private:
    struct LoginTexts {
        QString status;
        QString message;
        bool syncEnabled = true;
    };

    void readInput();
    void handle(const WorkerProtocol::Command& command);
    void send(const WorkerProtocol::Event& event);
    void pageEvent(WorkerProtocol::PageId id, const WorkerProtocol::Event& event);
    void quit(int exitCode);
    // Created on first use; a login page together with its window.
    WorkerPage& page(WorkerProtocol::PageId id);
    LoginWindow& window(WorkerProtocol::PageId loginPage);
    // Words the windows in English (the catalogue installed) or in Korean, the source texts.
    void setEnglish(bool english);

    int input_;
    int output_;
    // Declared first, so it goes last.
    std::unique_ptr<QWebEngineProfile> profile_;
    std::array<std::unique_ptr<WorkerPage>, 4> pages_; // by PageId, created on first use
    std::array<std::unique_ptr<QWebEngineView>, 2> hiddenViews_; // by site: assessment, Canvas
    std::array<std::unique_ptr<LoginWindow>, 2> windows_; // by site: assessment, Canvas
    std::array<LoginTexts, 2> texts_;
    QTranslator translator_;
    bool english_ = false;
    QSocketNotifier notifier_;
    WorkerProtocol::LineBuffer buffer_;
    bool greeted_ = false;
    bool quitting_ = false;
};

} // namespace vantory
