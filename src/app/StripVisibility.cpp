// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StripVisibility.h"

#include <utility>

namespace vantory {

StripVisibility::StripVisibility(std::function<void(bool map)> request)
    : request_(std::move(request))
{
}

void StripVisibility::setReason(Reason reason, bool holds)
{
    const auto bit = static_cast<unsigned>(reason);
    reasons_ = holds ? reasons_ | bit : reasons_ & ~bit;
    advance();
}

void StripVisibility::reported(bool mapped)
{
    if (!pending_ || mapped != requested_)
        return;
    pending_ = false;
    advance();
}

void StripVisibility::advance()
{
    if (pending_ || requested_ == wanted())
        return;
    requested_ = wanted();
    // Set before the request, which may report back at once.
    pending_ = true;
    request_(requested_);
}

} // namespace vantory
