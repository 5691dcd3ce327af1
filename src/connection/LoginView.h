// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"

#include <functional>
#include <string>

#include "protocol/WebPage.h"

namespace vantory {

// A site's login window: a visible page under a header with three buttons ("페이지 다시 열기",
// "일정 업데이트", "닫기"), the site's status line and a one-line message; a page that does not load
// gives way to a panel that offers another try and the school's addresses. Created on first use and
// kept, page history included, until exit. Main thread only.
class LoginView {
public:
    virtual ~LoginView() = default;

    virtual WebPage& page() = 0;
    // Shows the window (creating it on first use) and brings it to the front.
    virtual void show() = 0;
    virtual bool isVisible() const = 0;
    // The texts under the header, and whether "일정 업데이트" can be pressed.
    virtual void setTexts(const std::string& status, const std::string& message, bool syncEnabled) = 0;

    // The buttons; "닫기" has already hidden the window when onClosed runs, as has the window's own
    // close button.
    std::function<void()> onReload;
    std::function<void()> onSync;
    std::function<void()> onClosed;
    // The error panel's "학교 사이트 설정 열기"; its "다시 시도" is onReload.
    std::function<void()> onAddresses;
};

} // namespace vantory
