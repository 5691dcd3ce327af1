// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Assessment.h"
#include "model/Course.h"
#include "model/JsonDecoding.h"

namespace {

template <typename T> void decode(std::string_view text)
{
    try {
        (void)vantory::codec::decodeText<T>(text);
    } catch (const vantory::codec::DecodeError&) {
    }
}

} // namespace

// Every record a page script returns; the first byte picks the record, the rest is the JSON text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantory;
    constexpr void (*decoders[])(std::string_view) = {decode<PagePayload>, decode<std::vector<DiscoveredCourse>>,
        decode<std::vector<CanvasAssignment>>, decode<std::map<std::string, bool>>};
    if (size > 0)
        decoders[data[0] % 4]({reinterpret_cast<const char*>(data) + 1, size - 1});
    return 0;
}
