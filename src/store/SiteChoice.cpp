// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SiteChoice.h"

#include "store/Store.h"

#include <utility>

namespace vantory {

SiteChoice::SiteChoice(Store& store, Sites overrides)
    : store_(store)
    , overrides_(std::move(overrides))
    , observer_(store.observeFirst([this](Store::Field field) {
        if (field == Store::Field::db)
            choose();
    }))
{
    choose();
}

SiteChoice::~SiteChoice()
{
    store_.unobserve(observer_);
    Sites::setCurrent(Sites::production());
}

void SiteChoice::choose()
{
    Sites chosen = store_.db().settings.sites();
    if (overrides_.uses(Site::assessment))
        chosen.assessmentBaseURL = overrides_.assessmentBaseURL;
    if (overrides_.uses(Site::canvas))
        chosen.canvasBaseURL = overrides_.canvasBaseURL;
    if (chosen != Sites::current())
        Sites::setCurrent(std::move(chosen));
}

} // namespace vantory
