// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/Multistatus.h"

#include <cstdlib>

namespace {

int depth(const vantory::XmlElement& element)
{
    int deepest = 0;
    for (const vantory::XmlElement& child : element.children)
        deepest = std::max(deepest, depth(child));
    return deepest + 1;
}

} // namespace

// A calendar server's answers are untrusted: every body reads as a multistatus or is refused, every
// resource it names stays on the server's origin, and no tree grows beyond its depth limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QUrl base(QStringLiteral("https://calendar.example/alice/tasks/"));
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto tree = vantory::readXml(body); tree && depth(*tree) > vantory::XmlLimits{}.depth)
        std::abort();
    if (const auto answer = vantory::readMultistatus(body, base))
        for (const vantory::DavResponse& response : answer->responses)
            if (!vantory::sameOrigin(response.href, base))
                std::abort();
    return 0;
}
