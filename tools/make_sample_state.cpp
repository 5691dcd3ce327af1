// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a sample state file with deadlines around now, for trying Vantory without an account:
//   vantory-sample <folder> [item count] [calendar file]   then   vantory --data-dir <folder>
// With a calendar file it also exports every deadline there, as the export window would. Courses,
// titles and the calendar's words are in the session's language, as the application would pick it.
#include "calendar/CalendarFile.h"
#include "model/StateFile.h"

#include "SampleDatabase.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace {

void usage(std::FILE* to, const char* program)
{
    std::fprintf(to, "usage: %s <folder> [item count, default 60] [calendar file]\n", program);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        usage(stdout, argv[0]);
        return 0;
    }
    // No option is known: "--x" is a mistake, not a folder to write into ("./--x" is one).
    const bool option = std::any_of(argv + 1, argv + argc, [](const char* argument) { return argument[0] == '-'; });
    if (argc < 2 || argc > 4 || option) {
        usage(stderr, argv[0]);
        return 2;
    }
    std::size_t count = 60;
    if (argc >= 3) {
        try {
            count = std::stoul(argv[2]);
        } catch (const std::exception&) {
            std::fprintf(stderr, "item count must be a whole number: %s\n", argv[2]);
            return 2;
        }
    }
    vantory::setLanguage(vantory::sessionLanguage(
        std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")));
    const auto now = std::chrono::time_point_cast<std::chrono::duration<double>>(std::chrono::system_clock::now());
    vantory::StateFile file(std::filesystem::absolute(argv[1]) / "state.json");
    // The items' pages and the settings on the pretend school's sites.
    vantory::Sites::setCurrent(vantory::sample::school());
    vantory::Database database = vantory::sample::database(count, now);
    vantory::sample::useSchool(database);
    file.save(database);
    if (file.storageError()) {
        std::fprintf(stderr, "%s\n", file.storageError()->c_str());
        return 1;
    }
    std::printf("%s\n", file.path().c_str());
    if (argc == 4) {
        std::ofstream calendar(argv[3], std::ios::binary);
        calendar << vantory::CalendarFile::generate(database.assessments, database, 0, now);
        if (!calendar.flush()) {
            std::fprintf(stderr, "could not write %s\n", argv[3]);
            return 1;
        }
        std::printf("%s\n", argv[3]);
    }
    return 0;
}
