// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "protocol/WorkerProtocol.h"

// Either side of the worker pipe may be compromised: every line must decode or be refused, and
// what decodes must encode to a line that decodes again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace protocol = vantory::WorkerProtocol;
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto roundTrip = [&line](auto decode) {
        if (const auto decoded = decode(line); decoded && !decode(protocol::encode(*decoded).chopped(1)))
            std::abort();
    };
    roundTrip([](const QByteArray& bytes) { return protocol::decodeCommand(bytes); });
    roundTrip([](const QByteArray& bytes) { return protocol::decodeEvent(bytes); });
    protocol::LineBuffer buffer;
    buffer.append(line);
    while (const auto taken = buffer.take())
        (void)protocol::decodeEvent(*taken);
    return 0;
}
