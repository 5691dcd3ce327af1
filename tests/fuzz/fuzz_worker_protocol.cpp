#include <cstdint>
#include <cstdlib>

#include "protocol/WorkerProtocol.h"

// Either side of the worker pipe may be compromised: every line must decode or be refused, and
// what decodes must encode to a line that decodes again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace protocol = vantory::WorkerProtocol;
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto command = protocol::decodeCommand(line)) {
        const QByteArray again = protocol::encode(*command);
        if (!protocol::decodeCommand(again.chopped(1)))
            std::abort();
    }
    if (const auto event = protocol::decodeEvent(line)) {
        const QByteArray again = protocol::encode(*event);
        if (!protocol::decodeEvent(again.chopped(1)))
            std::abort();
    }
    protocol::LineBuffer buffer;
    buffer.append(line);
    while (const auto taken = buffer.take())
        (void)protocol::decodeEvent(*taken);
    return 0;
}
