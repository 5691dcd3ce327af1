// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/RemoteLoginView.h"

#include "connection/RemoteWebHost.h"
#include "model/Language.h"

namespace vantory {

RemoteLoginView::RemoteLoginView(RemoteWebHost& host, Site site)
    : host_(host)
    , site_(site)
    , page_(host, loginPage(site))
    , texts_{loginPage(site)}
{
}

void RemoteLoginView::show()
{
    visible_ = true;
    host_.send(texts_, true);
    shownIn_ = host_.send(WorkerProtocol::ShowLogin{loginPage(site_), language() == Language::english}, true);
    host_.workChanged();
}

void RemoteLoginView::setTexts(const std::string& status, const std::string& message, bool syncEnabled)
{
    texts_ = {loginPage(site_), QString::fromStdString(status), QString::fromStdString(message), syncEnabled};
    host_.send(texts_, false);
}

bool RemoteLoginView::receive(const WorkerProtocol::LoginButton& press)
{
    using Button = WorkerProtocol::LoginButton::Button;
    if (shownIn_ != host_.generation_)
        return false;
    switch (press.button) {
    case Button::reload:
        if (onReload)
            onReload();
        break;
    case Button::sync:
        if (onSync)
            onSync();
        break;
    case Button::addresses:
        if (onAddresses)
            onAddresses();
        break;
    case Button::closed:
        visible_ = false;
        host_.workChanged();
        if (onClosed)
            onClosed();
        break;
    }
    return true;
}

void RemoteLoginView::workerGone(int generation, std::vector<std::function<void()>>& notifications)
{
    // A showing already waiting for the next worker stays.
    if (shownIn_ > generation || !visible_)
        return;
    visible_ = false;
    notifications.push_back([this] {
        if (onClosed)
            onClosed();
    });
}

} // namespace vantory
