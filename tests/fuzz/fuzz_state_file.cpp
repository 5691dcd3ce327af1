#include "model/StateFile.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

// A state file is read back from disk, where anything may have been written; what decodes must
// survive its own encoding unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using vantory::StateFile;
    std::istringstream bytes(std::string(reinterpret_cast<const char*>(data), size));
    vantory::Database database;
    try {
        database = StateFile::decode(bytes, size);
    } catch (const std::exception&) {
        return 0;
    }
    std::istringstream again(StateFile::encode(database));
    if (!(StateFile::decode(again) == database))
        std::abort();
    return 0;
}
