// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>
#include <string>

namespace vantory::Engine {

// Collation keys of texts, each computed once and kept across calls while its text is unchanged
// (the text itself finds the key), so that sorting thousands of items compares bytes instead of
// calling the collator on every comparison. One object holds the shared cache for its lifetime:
// the keys it returns stay valid until it is destroyed.
class CollationKeys {
public:
    CollationKeys();

    const std::string& of(const std::string& text);

private:
    std::unique_lock<std::mutex> lock_;
};

} // namespace vantory::Engine
