#include "model/StateFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// A state file is read back from disk, where anything may have been written; what decodes must
// survive its own encoding unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using vantory::StateFile;
    vantory::Database database;
    try {
        database = StateFile::decode({reinterpret_cast<const char*>(data), size});
    } catch (const std::exception&) {
        return 0;
    }
    if (!(StateFile::decode(StateFile::encode(database)) == database))
        std::abort();
    return 0;
}
