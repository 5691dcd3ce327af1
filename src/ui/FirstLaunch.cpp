// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FirstLaunch.h"

#include "store/Store.h"

#include <utility>

namespace vantory {

namespace {

bool anySite()
{
    const Sites& sites = Sites::current();
    return sites.uses(Site::assessment) || sites.uses(Site::canvas);
}

} // namespace

FirstLaunch::FirstLaunch(Store& store, std::function<void()> showSchoolSites)
    : store_(store)
    , showSchoolSites_(std::move(showSchoolSites))
{
}

FirstLaunch::~FirstLaunch()
{
    if (observer_ >= 0)
        store_.unobserve(observer_);
}

void FirstLaunch::start(bool signInAsked)
{
    if (anySite()) {
        if (signInAsked || store_.db().assessments.empty())
            signIn();
        return;
    }
    showSchoolSites_();
    // The first address saved leads on to its sign-in, once.
    observer_ = store_.observe([this](Store::Field field) {
        if (field != Store::Field::db || !anySite())
            return;
        store_.unobserve(std::exchange(observer_, -1));
        if (store_.db().assessments.empty())
            signIn();
    });
}

void FirstLaunch::signIn()
{
    if (const Store::Action& hook = store_.siteSignIn())
        hook();
}

} // namespace vantory
