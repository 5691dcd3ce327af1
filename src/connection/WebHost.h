// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/LoginView.h"
#include "model/Sites.h"

#include "protocol/WebPage.h"

namespace vantory {

// Where the pages live: the hidden page each connection syncs in and each site's login window,
// all sharing one persistent cookie store. The application's host runs them in the vantory-web
// process; tests use scripted fakes. The host owns its pages and views for its whole life.
class WebHost {
public:
    virtual ~WebHost() = default;

    virtual WebPage& workerPage(Site site) = 0;
    virtual LoginView& loginView(Site site) = 0;
};

} // namespace vantory
