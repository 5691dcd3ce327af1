// Writes a sample state file with deadlines around now, for trying Vantory without an account:
//   vantory-sample <folder> [item count]   then   vantory --data-dir <folder>
#include "model/StateFile.h"

#include "SampleDatabase.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <folder> [item count, default 60]\n", argv[0]);
        return 2;
    }
    std::size_t count = 60;
    if (argc == 3) {
        try {
            count = std::stoul(argv[2]);
        } catch (const std::exception&) {
            std::fprintf(stderr, "item count must be a whole number: %s\n", argv[2]);
            return 2;
        }
    }
    const auto now = std::chrono::time_point_cast<std::chrono::duration<double>>(std::chrono::system_clock::now());
    vantory::StateFile file(std::filesystem::absolute(argv[1]) / "state.json");
    file.save(vantory::sample::database(count, now));
    if (file.storageError()) {
        std::fprintf(stderr, "%s\n", file.storageError()->c_str());
        return 1;
    }
    std::printf("%s\n", file.path().c_str());
    return 0;
}
