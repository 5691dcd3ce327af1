// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/LoginView.h"
#include "connection/RemotePage.h"

#include <functional>
#include <string>
#include <vector>

#include "protocol/WorkerProtocol.h"

namespace vantory {

class RemoteWebHost;

// A login window of the vantory-web worker as the application sees it. The window lives in the
// worker, so it goes when the worker does; the texts stay here and go with every showing.
class RemoteLoginView final : public LoginView {
public:
    RemoteLoginView(RemoteWebHost& host, Site site);

    WebPage& page() override { return page_; }
    void show() override;
    bool isVisible() const override { return visible_; }
    void setTexts(const std::string& status, const std::string& message, bool syncEnabled) override;

    RemotePage& remotePage() { return page_; }
    // From the host. A button of a window this worker never showed answers false.
    bool receive(const WorkerProtocol::LoginButton& press);
    void workerGone(int generation, std::vector<std::function<void()>>& notifications);

private:
    RemoteWebHost& host_;
    Site site_;
    RemotePage page_;
    WorkerProtocol::LoginTexts texts_;
    bool visible_ = false;
    int shownIn_ = 0; // the generation of the worker that last showed the window
};

} // namespace vantory
