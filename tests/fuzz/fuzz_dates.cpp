// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/CanvasItems.h"
#include "model/Dates.h"

#include <cstring>

// The dates scraped from both sites, and a stored zone id: the first eight bytes are a year for the
// release texts.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::int64_t year = 0;
    const std::size_t yearSize = text.size() >= sizeof year ? sizeof year : 0;
    std::memcpy(&year, text.data(), yearSize);
    text.erase(0, yearSize);
    (void)vantory::Dates::exact(text);
    const vantory::Zone zone(text);
    (void)vantory::Dates::release(text, year, zone);
    (void)vantory::Dates::release(text, 2000 + year % 100, vantory::Zone());
    (void)vantory::CanvasItems::readDate(text);
    return 0;
}
