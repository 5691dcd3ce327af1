// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarFile.h"

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Physical lines end in CR LF and nowhere else, hold at most 75 octets and no control character
// but the tab.
void checkLines(std::string_view file)
{
    for (std::size_t end = 0; !file.empty(); file.remove_prefix(end + 2)) {
        end = file.find("\r\n"); // npos, too long, when the file does not end in CR LF
        check(end <= 75);
        for (const char c : file.substr(0, end))
            check(c == '\t' || !(static_cast<unsigned char>(c) < 0x20 || c == 0x7F));
    }
}

std::string unescape(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '\\';
        if (escape)
            check(++i < text.size() && std::string_view("\\;,n").find(text[i]) != std::string_view::npos);
        result += escape && text[i] == 'n' ? '\n' : text[i];
    }
    return result;
}

// The text as a calendar reads it back: line breaks as LF, no control character but LF and tab.
std::string readable(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && text.substr(i + 1).starts_with('\n'))
            continue;
        if (c == '\r' || c == '\n' || c == '\t' || (c >= 0x20 && c != 0x7F))
            result += c == '\r' ? '\n' : text[i];
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantory;
    FuzzedDataProvider input(data, size);

    const std::string text = input.ConsumeRandomLengthString();
    const std::string folded = CalendarFile::fold("DESCRIPTION:" + CalendarFile::escape(text));
    checkLines(folded + "\r\n");
    std::string unfolded = folded;
    for (std::size_t at = 0; (at = unfolded.find("\r\n ", at)) != std::string::npos;)
        unfolded.erase(at, 3);
    check(unescape(unfolded.substr(12)) == readable(text));

    Database db;
    Course course;
    course.id = input.ConsumeRandomLengthString(40);
    course.name = input.ConsumeRandomLengthString(80);
    db.settings.courses.push_back(course);
    while (input.remaining_bytes() > 0 && db.assessments.size() < 8) {
        Assessment item;
        item.id = input.ConsumeRandomLengthString(60);
        item.courseID = input.ConsumeBool() ? course.id : input.ConsumeRandomLengthString(20);
        item.title = input.ConsumeRandomLengthString(200);
        item.category = input.ConsumeRandomLengthString(40);
        if (input.ConsumeBool())
            item.url = input.ConsumeRandomLengthString(100);
        item.due = instantFromSeconds(input.ConsumeFloatingPoint<double>());
        db.assessments.push_back(item);
    }
    checkLines(CalendarFile::generate(db.assessments, db, input.ConsumeIntegral<std::int64_t>(),
        instantFromSeconds(input.ConsumeFloatingPoint<double>())));
    return 0;
}
