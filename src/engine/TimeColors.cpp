// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Engine.h"

namespace vantory::Engine {

namespace {
const std::string white = "FFFFFF";
}

std::string dotHex(double seconds, const Settings& settings)
{
    if (!settings.pairedRules)
        return settings.legacyDotHex(seconds);
    if (const auto* rule = matchingRule(*settings.pairedRules, seconds))
        return rule->dotHex;
    return settings.pairedOtherDot.value_or(white);
}

std::string hex(double seconds, const Settings& settings)
{
    if (!settings.pairedRules)
        return settings.legacyTimeHex(seconds);
    if (settings.linkedTimeColors == true)
        return dotHex(seconds, settings);
    if (const auto* rule = matchingRule(*settings.pairedRules, seconds))
        return rule->timeHex;
    return settings.pairedOtherTime.value_or(white);
}

} // namespace vantory::Engine
