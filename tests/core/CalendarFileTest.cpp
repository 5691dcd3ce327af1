#include "calendar/CalendarFile.h"

#include "model/Dates.h"
#include "model/Sites.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace vantory;

namespace {

const Instant exportTime = instantFromSeconds(1763663400); // 2025-11-20 18:30:00 UTC
const Instant siteDue = instantFromSeconds(1764748740);    // 2025-12-03 07:59:00 UTC

const std::string header = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Vantory//Deadlines//KO\r\n"
                           "CALSCALE:GREGORIAN\r\nMETHOD:PUBLISH\r\nX-WR-CALNAME:Vantory 마감\r\n";

// The logical lines of a file: continuation lines joined back, split at CR LF.
std::vector<std::string> logicalLines(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n ")) != std::string::npos;)
        text.erase(at, 3);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The event's lines from BEGIN:VEVENT to END:VEVENT.
std::vector<std::string> eventLines(const std::string& file)
{
    auto lines = logicalLines(file);
    const auto begin = std::find(lines.begin(), lines.end(), "BEGIN:VEVENT");
    const auto end = std::find(lines.begin(), lines.end(), "END:VEVENT");
    return begin == lines.end() ? std::vector<std::string>{} : std::vector<std::string>(begin, end + 1);
}

class CalendarFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sites::setCurrent({"https://learn.example.ca", "https://canvas.example.ca:8443"});
        Course course;
        course.id = "pl-313";
        course.name = "313";
        db.settings.courses = {course};
    }
    void TearDown() override { Sites::setCurrent(Sites::production()); }

    Assessment item(std::optional<std::string> url = std::nullopt) const
    {
        Assessment assessment;
        assessment.id = "pl-313:PC5";
        assessment.courseID = "pl-313";
        assessment.title = "Preclass 5";
        assessment.category = "Preclass";
        assessment.url = std::move(url);
        assessment.due = siteDue;
        return assessment;
    }

    std::vector<std::string> exported(const Assessment& assessment, std::int64_t alarm = 0) const
    {
        return eventLines(CalendarFile::generate({assessment}, db, alarm, exportTime));
    }

    Database db;
};

TEST(CalendarFileText, EscapesBackslashesFirstThenLineBreaksAndSeparators)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"a\\b", "a\\\\b"},
        {"a,b;c", "a\\,b\\;c"},
        {"a\r\nb\rc\nd", "a\\nb\\nc\\nd"},
        {"\\n is not a line break", "\\\\n is not a line break"},
        {"\\;\\,", "\\\\\\;\\\\\\,"},
        {"\r\n\n", "\\n\\n"},
        {"퀴즈", "퀴즈"},
    };
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(CalendarFile::escape(text), escaped) << text;
}

TEST(CalendarFileText, FoldsAtSeventyFiveOctetsWithoutSplittingCharacters)
{
    const std::string korean = "SUMMARY:" + [] {
        std::string text;
        for (int i = 0; i < 40; ++i)
            text += "마감";
        return text;
    }();
    struct Case {
        std::string line;
        std::vector<std::size_t> physicalOctets;
    };
    const std::vector<Case> cases{
        {"", {0}},
        {std::string(75, 'a'), {75}},
        {std::string(76, 'a'), {75, 2}},
        {"SUMMARY:" + std::string(100, 'x'), {75, 34}},
        {korean, {74, 73, 73, 31}},                      // 8 + 240 octets in 3-octet steps
        {std::string(73, 'a') + "😀", {73, 5}},                 // 4 octets do not fit after 73
        {std::string(74, 'a') + "\xE9" + "b", {75, 2}},        // a stray byte counts alone
    };
    for (const auto& [line, physicalOctets] : cases) {
        const std::string folded = CalendarFile::fold(line);
        std::vector<std::size_t> octets;
        std::size_t start = 0;
        for (std::size_t end; (end = folded.find("\r\n", start)) != std::string::npos; start = end + 2) {
            octets.push_back(end - start);
            EXPECT_EQ(folded[end + 2], ' ');
        }
        octets.push_back(folded.size() - start);
        EXPECT_EQ(octets, physicalOctets) << line;
        EXPECT_EQ(logicalLines(folded + "\r\n"), std::vector<std::string>{line});
    }
}

TEST_F(CalendarFileTest, WithoutDatedItemsWritesOnlyTheFrame)
{
    auto undated = item();
    undated.due.reset();
    const std::string expected = header + "END:VCALENDAR\r\n";
    EXPECT_EQ(CalendarFile::generate({}, db, 30, exportTime), expected);
    EXPECT_EQ(CalendarFile::generate({undated}, db, 30, exportTime), expected);
}

TEST_F(CalendarFileTest, WritesOneMinuteEventAtTheOverrideDue)
{
    db.overrides["pl-313:PC5"].due = instantFromSeconds(1764748740 + 3600);
    const std::string shown = Dates::display(*db.overrides["pl-313:PC5"].due);
    const std::vector<std::string> expected{
        "BEGIN:VEVENT",
        "UID:pl-313:PC5@vantory.app",
        "DTSTAMP:20251120T183000Z",
        "LAST-MODIFIED:20251120T183000Z",
        "DTSTART:20251203T085900Z",
        "DTEND:20251203T090000Z",
        "SUMMARY:313 | Preclass 5",
        "DESCRIPTION:BrevaneLearn · Preclass\\n마감: " + shown + "\\n",
        "CATEGORIES:Preclass",
        "TRANSP:TRANSPARENT",
        "END:VEVENT",
    };
    EXPECT_EQ(exported(item()), expected);
    const auto later = eventLines(CalendarFile::generate({item()}, db, 0, exportTime + std::chrono::hours(5)));
    EXPECT_EQ(later.at(1), expected[1]);
}

TEST_F(CalendarFileTest, LabelsItemsOfUnknownCoursesAndEscapesTheirTexts)
{
    auto orphan = item();
    orphan.courseID = "canvas:99";
    orphan.title = "Quiz 1, part A; see \\notes\nnow";
    orphan.category = "Quiz,Test";
    const auto lines = exported(orphan);
    EXPECT_EQ(lines.at(6), "SUMMARY:canvas:99 | Quiz 1\\, part A\\; see \\\\notes\\nnow");
    EXPECT_TRUE(lines.at(7).starts_with("DESCRIPTION:BrevaneLearn · Quiz\\,Test\\n마감: "));
    EXPECT_EQ(lines.at(8), "CATEGORIES:Quiz\\,Test");
}

TEST_F(CalendarFileTest, WritesUrlLinesOnlyForHttpsLinksIntoTheTwoSites)
{
    const std::vector<std::pair<std::string, bool>> cases{
        {"https://learn.example.ca/pl/course_instance/313/assessment/5", true},
        {"https://canvas.example.ca/courses/7/assignments/8", true},
        {"https://canvas.example.ca:8443/courses/7?x=1#y", true},
        {"http://learn.example.ca/pl/", false},
        {"HTTPS://learn.example.ca/", false},
        {"https://evil.example.com/", false},
        {"https://learn.example.ca.evil.com/", false},
        {"https://learn.example.ca@evil.com/", false},
        {"https://evil.com/?next=https://learn.example.ca/", false},
        {"https:learn.example.ca/", false},
        {"https://learn.example.ca/a b", false},
        {"https://learn.example.ca/\r\nATTACH:https://evil.com/", false},
    };
    for (const auto& [url, written] : cases) {
        const auto lines = exported(item(url));
        const bool hasUrl = std::find(lines.begin(), lines.end(), "URL:" + url) != lines.end();
        EXPECT_EQ(hasUrl, written) << url;
        EXPECT_EQ(lines.size(), written ? 12u : 11u) << url;
        EXPECT_TRUE(lines.at(7).ends_with("\\n" + CalendarFile::escape(url))) << url;
    }
}

TEST_F(CalendarFileTest, WritesRemindersInMinutesOnlyForPositiveAlarms)
{
    const std::vector<std::pair<std::int64_t, std::string>> cases{
        {0, ""}, {-5, ""}, {30, "TRIGGER:-PT30M"}, {60, "TRIGGER:-PT60M"}, {1440, "TRIGGER:-PT1440M"}};
    for (const auto& [alarm, trigger] : cases) {
        const auto lines = exported(item(), alarm);
        const std::vector<std::string> tail(lines.end() - std::min<std::size_t>(lines.size(), 6), lines.end());
        if (trigger.empty())
            EXPECT_EQ(lines.size(), 11u) << alarm;
        else
            EXPECT_EQ(tail, (std::vector<std::string>{"BEGIN:VALARM", trigger, "ACTION:DISPLAY",
                                                      "DESCRIPTION:과제 마감", "END:VALARM", "END:VEVENT"}));
    }
}

TEST_F(CalendarFileTest, SkipsDueDatesNoDateTimeCanHoldAndDropsControlCharactersFromUids)
{
    auto farFuture = item();
    farFuture.due = instantFromSeconds(1e300);
    auto oddId = item();
    oddId.id = "pl-313:PC\r\nX-INJECTED:1";
    const auto lines = logicalLines(CalendarFile::generate({farFuture, oddId}, db, 0, exportTime));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "BEGIN:VEVENT"), 1);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "UID:pl-313:PCX-INJECTED:1@vantory.app"), lines.end());
}

// An independent parser (python3-icalendar) must accept the file and read the folded Korean
// summaries back exactly.
TEST_F(CalendarFileTest, IndependentParserReadsTheFileBack)
{
    auto korean = item("https://learn.example.ca/pl/course_instance/313/assessment/6");
    korean.id = "pl-313:HW6";
    korean.title = "한국어 과제 제목이 아주 길어서 여러 줄로 접혀야 합니다, 세미콜론; 그리고 \\ 역슬래시까지 포함";
    auto canvas = item("https://canvas.example.ca/courses/7/assignments/8");
    canvas.id = "canvas:7:8";
    canvas.courseID = "canvas:7";
    const std::string text = CalendarFile::generate({item(), korean, canvas}, db, 1440, exportTime);

    const auto path = std::filesystem::path(::testing::TempDir()) / "CalendarFileTest.ics";
    std::ofstream(path, std::ios::binary) << text;
    auto quoted = [](const std::string& argument) {
        std::string result = "'";
        for (char character : argument)
            result += character == '\'' ? std::string("'\\''") : std::string(1, character);
        return result + "'";
    };
    const std::string command = quoted(VANTORY_PYTHON3) + " " + quoted(VANTORY_VALIDATE_ICS) + " " +
                                quoted(path.string()) + " " + quoted("313 | " + korean.title) + " " +
                                quoted("canvas:7 | Preclass 5");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::filesystem::remove(path);
}

} // namespace
