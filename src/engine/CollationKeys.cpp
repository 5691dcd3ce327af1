// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/CollationKeys.h"

#include "model/UnicodeText.h"

#include <unordered_map>

namespace vantory::Engine {

namespace {

// About ten times the texts of a large database; past it the cache starts again rather than
// keep the keys of texts long gone.
constexpr std::size_t maximumTexts = 200000;

struct Cache {
    std::mutex mutex;
    std::unordered_map<std::string, std::string> keys;
};

Cache& cache()
{
    static Cache shared;
    return shared;
}

} // namespace

CollationKeys::CollationKeys()
    : lock_(cache().mutex)
{
    // No key handed out earlier is in use while the lock is held.
    if (cache().keys.size() > maximumTexts)
        cache().keys.clear();
}

const std::string& CollationKeys::of(const std::string& text)
{
    auto& keys = cache().keys;
    if (const auto found = keys.find(text); found != keys.end())
        return found->second;
    return keys.emplace(text, UnicodeText::collationKey(text)).first->second;
}

} // namespace vantory::Engine
