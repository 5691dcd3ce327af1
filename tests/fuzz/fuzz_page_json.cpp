#include "model/Assessment.h"
#include "model/Course.h"
#include "model/JsonDecoding.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        decode<vantory::PagePayload>(text);
        break;
    case 1:
        decode<std::vector<vantory::DiscoveredCourse>>(text);
        break;
    case 2:
        decode<std::vector<vantory::CanvasAssignment>>(text);
        break;
    default:
        decode<std::map<std::string, bool>>(text);
        break;
    }
    return 0;
}
