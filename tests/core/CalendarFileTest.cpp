// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarFile.h"

#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace vantory;
using Lines = std::vector<std::string>;

namespace {

const Instant exportTime = instantFromSeconds(1763663400); // 2025-11-20 18:30:00 UTC

// The logical lines of a file: continuation lines joined back, split at CR LF.
Lines logicalLines(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n ")) != std::string::npos;)
        text.erase(at, 3);
    Lines lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

class CalendarFileTest : public ::testing::Test {
protected:
    // The lines of the single event that exporting one item writes.
    Lines event(const Assessment& assessment, std::int64_t alarm = 0) const
    {
        const Lines lines = logicalLines(CalendarFile::generate({assessment}, db, alarm, exportTime));
        return lines.size() < 9 ? Lines{} : Lines(lines.begin() + 7, lines.end() - 1);
    }

    const test::SiteScope sites{{"https://learn.example.ca", "https://canvas.example.ca:8443"}};
    Database db{.settings = {.courses = {{.id = "pl-313", .name = "313"}}}};
    Assessment item{.id = "pl-313:PC5",
        .courseID = "pl-313",
        .title = "Preclass 5",
        .category = "Preclass",
        .due = instantFromSeconds(1764748740)}; // 2025-12-03 07:59:00 UTC
};

TEST(CalendarFileText, EscapesBackslashesFirstThenLineBreaksAndFoldsAtSeventyFiveOctetsWholeCharacters)
{
    const std::pair<std::string, std::string> cases[]
        = {{"a,b;c", "a\\,b\\;c"}, {"a\r\nb\rc\nd", "a\\nb\\nc\\nd"}, {"\\n", "\\\\n"}, {"\\;\\,", "\\\\\\;\\\\\\,"},
            {std::string("a\0b\vc\fd\033e\177f\tg", 13), "abcdef\tg"}}; // only the tab is a text's control
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(CalendarFile::escape(text), escaped) << text;
    // Folds at 75 octets without splitting characters.
    std::string korean = "SUMMARY:";
    while (korean.size() < 8 + 80 * 3)
        korean += "마";
    // Octets per physical line, a continuation's leading space included; a stray lead byte counts alone.
    const std::pair<std::string, std::vector<std::size_t>> folds[]
        = {{std::string(75, 'a'), {75}}, {korean, {74, 73, 73, 31}}, {std::string(73, 'a') + "😀", {73, 5}},
            {std::string(74, 'a') + "\351b", {75, 2}}, {std::string(74, 'a') + "\351bcd", {75, 4}}};
    for (const auto& [line, expected] : folds) {
        const std::string folded = CalendarFile::fold(line);
        std::vector<std::size_t> octets;
        std::size_t start = 0;
        for (std::size_t end; (end = folded.find("\r\n ", start)) != std::string::npos; start = end + 2)
            octets.push_back(end - start);
        octets.push_back(folded.size() - start);
        EXPECT_EQ(octets, expected) << line;
        EXPECT_EQ(logicalLines(folded + "\r\n"), Lines{line});
    }
}

TEST_F(CalendarFileTest, WritesAFrameNamingTheSchoolZoneAndOneMinuteEventsAtTheOverrideDueWithStableUidsAndReminders)
{
    const auto frame = [](const std::string& zone) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Vantory//Deadlines//KO\r\nCALSCALE:GREGORIAN"
               "\r\nMETHOD:PUBLISH\r\nX-WR-CALNAME:Vantory 마감\r\nX-WR-TIMEZONE:"
            + zone + "\r\nEND:VCALENDAR\r\n";
    };
    EXPECT_EQ(CalendarFile::generate({Assessment{.id = "undated"}}, db, 30, exportTime), frame("America/Vancouver"));

    // ICU's canonical id, never the stored text: one that is no zone cannot add a line.
    const std::pair<std::string, std::string> zones[]
        = {{"Canada/Eastern", "America/Toronto"}, {"Asia/Seoul\r\nATTACH:https://evil.com/", "America/Vancouver"}};
    for (const auto& [stored, written] : zones) {
        db.settings.timeZone = stored;
        EXPECT_EQ(CalendarFile::generate({}, db, 30, exportTime), frame(written)) << stored;
    }

    db.overrides[item.id].due = *item.due + std::chrono::hours(1);
    EXPECT_EQ(event(item),
        (Lines{"BEGIN:VEVENT", "UID:pl-313:PC5@vantory.app", "DTSTAMP:20251120T183000Z",
            "LAST-MODIFIED:20251120T183000Z", "DTSTART:20251203T085900Z", "DTEND:20251203T090000Z",
            "SUMMARY:313 | Preclass 5", "DESCRIPTION:BrevaneLearn · Preclass\\n마감: 12월 3일 (수) 00:59 GMT-8\\n",
            "CATEGORIES:Preclass", "TRANSP:TRANSPARENT", "END:VEVENT"}));

    // A course no longer configured names itself by id; another school zone moves only the deadline's words.
    item.courseID = "canvas:99", item.title = "Quiz 1, A; \\x\ny", db.settings.timeZone = "Asia/Seoul";
    const Lines orphan = event(item);
    EXPECT_EQ(orphan.at(1) + " " + orphan.at(4) + " " + orphan.at(6) + " " + orphan.at(7),
        "UID:pl-313:PC5@vantory.app DTSTART:20251203T085900Z SUMMARY:canvas:99 | Quiz 1\\, A\\; \\\\x\\ny "
        "DESCRIPTION:BrevaneLearn · Preclass\\n마감: 12월 3일 (수) 17:59 GMT+9\\n");
    // A reminder only for a positive alarm, in minutes as given, never turned into hours or days.
    EXPECT_EQ(event(item, -5).size(), 11u);
    const Lines lines = event(item, 1440);
    EXPECT_EQ(Lines(lines.begin() + 10, lines.end()),
        (Lines{"BEGIN:VALARM", "TRIGGER:-PT1440M", "ACTION:DISPLAY", "DESCRIPTION:과제 마감", "END:VALARM",
            "END:VEVENT"}));
}

TEST_F(CalendarFileTest, WritesUrlsOnlyIntoTheTwoSitesEveryUidOnOneDistinctLineAndNoUnwritableDate)
{
    const std::pair<std::string, bool> cases[] = {{"https://learn.example.ca/pl/course_instance/313", true},
        {"https://canvas.example.ca:8443/c?x=1#y", true}, {"http://learn.example.ca/pl/", false},
        {"https://learn.example.ca.evil.com/", false}, {"https://evil-learn.example.ca/", false},
        {"https://learn.example.ca@evil.com/", false}, {"https:learn.example.ca/", false},
        {"https://learn.example.ca/a b", false}, {"https://learn.example.ca/\r\nATTACH:https://evil.com/", false}};
    for (const auto& [url, written] : cases) {
        item.url = url;
        const Lines lines = event(item);
        EXPECT_EQ(lines.size(), written ? 12u : 11u) << url;
        EXPECT_EQ(lines.at(10), written ? "URL:" + url : "END:VEVENT") << url;
        EXPECT_TRUE(lines.at(7).ends_with("\\n" + CalendarFile::escape(url))) << url;
    }
    auto farFuture = item;
    farFuture.due = instantFromSeconds(1e300);
    item.id = "pl-313:PC\r\nX-INJECTED:1";
    const Lines lines = logicalLines(CalendarFile::generate({farFuture, item}, db, 0, exportTime));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "BEGIN:VEVENT"), 1);
    EXPECT_EQ(lines.at(8), "UID:706c2d3331333a50430d0a582d494e4a45435445443a31@hex.vantory.app");

    // Readers split a UID at "," and ";" and undo escapes their own way, so two deadlines never merge.
    const std::pair<const char*, const char*> ids[] = {{"9001:A,1;x", "UID:9001:A\\,1\\;x@vantory.app"},
        {"9001:BS\\1", "UID:393030313a42535c31@hex.vantory.app"}, {"9001:BS1", "UID:9001:BS1@vantory.app"}};
    for (const auto& [id, line] : ids) {
        item.id = id;
        EXPECT_EQ(logicalLines(CalendarFile::generate({item}, db, 0, exportTime)).at(8), line) << id;
    }
}

// python3-icalendar, an independent parser, must accept the file and read folded Korean back.
TEST_F(CalendarFileTest, IndependentParserReadsTheFileBack)
{
    auto korean = item;
    korean.id = "pl-313:HW6";
    korean.title = "한국어 과제 제목이 아주 길어서 여러 줄로 접혀야 합니다, 세미콜론; 그리고 \\ 역슬래시까지";
    korean.url = "https://learn.example.ca/pl/course_instance/313/assessments";
    std::vector<Assessment> items{item, korean};
    for (const char* id : {"9001:BS\\1", "9001:BS\\\\1", "9001:BS\n1", "9001:BS\r1", "9001:BS1", "9001:BS\\n1"}) {
        items.push_back(item);
        items.back().id = id;
    }
    const test::TemporaryFolder folder;
    std::ofstream(folder / "export.ics", std::ios::binary) << CalendarFile::generate(items, db, 1440, exportTime);
    // Every argument single-quoted for the shell; the titles hold no quote of their own.
    const std::string command = "'" VANTORY_PYTHON3 "' '" VANTORY_TESTS "/core/validate_ics.py' '"
        + (folder / "export.ics").string() + "' '313 | " + korean.title + "' '313 | " + item.title + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

} // namespace
