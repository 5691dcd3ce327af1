#include "engine/Engine.h"

#include <algorithm>
#include <vector>

namespace vantory::Engine {

namespace {

const std::string white = "FFFFFF";

// The first rule, in ascending hours (stable), whose threshold the remaining time is within.
// A NaN never compares less-or-equal, so it matches nothing.
template <typename Rule>
const Rule* firstMatch(const std::vector<Rule>& rules, double seconds)
{
    std::vector<const Rule*> sorted;
    sorted.reserve(rules.size());
    for (const Rule& rule : rules)
        sorted.push_back(&rule);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Rule* a, const Rule* b) { return a->hours < b->hours; });
    for (const Rule* rule : sorted) {
        if (seconds <= rule->hours * 3600)
            return rule;
    }
    return nullptr;
}

} // namespace

std::string dotHex(double seconds, const Settings& settings)
{
    if (settings.pairedRules) {
        if (const auto* rule = firstMatch(*settings.pairedRules, seconds))
            return rule->dotHex;
        return settings.pairedOtherDot.value_or(white);
    }
    if (settings.dotStyle == "fixed")
        return settings.dotHex.value_or(white);
    const auto& rules = settings.dotRules ? *settings.dotRules : settings.rules;
    if (const auto* rule = firstMatch(rules, seconds))
        return rule->hex;
    return settings.dotOtherHex.value_or(settings.otherHex);
}

std::string hex(double seconds, const Settings& settings)
{
    if (settings.pairedRules) {
        if (settings.linkedTimeColors == true)
            return dotHex(seconds, settings);
        if (const auto* rule = firstMatch(*settings.pairedRules, seconds))
            return rule->timeHex;
        return settings.pairedOtherTime.value_or(white);
    }
    const std::string mode = settings.timeColorMode.value_or("same");
    if (mode == "fixed")
        return settings.timeHex.value_or(white);
    if (mode == "rules") {
        if (const auto* rule = firstMatch(settings.rules, seconds))
            return rule->hex;
        return settings.otherHex;
    }
    return dotHex(seconds, settings);
}

} // namespace vantory::Engine
