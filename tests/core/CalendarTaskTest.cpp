// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarTask.h"

#include "calendar/ICalendar.h"
#include "calendar/TaskMerge.h"

#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vantory;
using ICalendar::Component;
using Lines = std::vector<std::string>;

namespace {

const Instant created = instantFromSeconds(1763663400); // 2025-11-20 18:30:00 UTC
const Instant later = instantFromSeconds(1763700000); // 2025-11-21 04:40:00 UTC

Instant at(double seconds)
{
    return instantFromSeconds(seconds);
}

// The content lines of a text, unfolded.
Lines lines(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n ")) != std::string::npos;)
        text.erase(at, 3);
    Lines result;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(text.substr(start, end - start));
    return result;
}

Component parsed(const std::string& text)
{
    std::optional<Component> component = ICalendar::parse(text);
    EXPECT_TRUE(component) << text;
    return component.value_or(Component{});
}

// The task's text with whole content lines replaced (removed when the replacement is empty) and
// lines added before END:VTODO, as another program would write it.
std::string edited(const std::string& text, const std::vector<std::pair<std::string, std::string>>& replace,
    const std::string& add = {})
{
    std::string unfolded;
    for (const std::string& line : lines(text))
        unfolded += line + "\r\n";
    for (const auto& [from, to] : replace) {
        const std::size_t at = unfolded.find(from + "\r\n");
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            unfolded.replace(at, from.size() + 2, to.empty() ? "" : to + "\r\n");
    }
    return ICalendar::write(parsed(unfolded.insert(unfolded.find("END:VTODO"), add)));
}

class CalendarTaskTest : public ::testing::Test {
protected:
    std::string build(const UserOverride& marks, Instant now = created, const std::string& existing = {}) const
    {
        const std::optional<Component> server = existing.empty() ? std::nullopt : ICalendar::parse(existing);
        return ICalendar::write(CalendarTask::build(item, settings, marks, now, server ? &*server : nullptr).calendar);
    }

    const test::SiteScope sites{{"https://learn.example.ca", "https://canvas.example.ca"}};
    Settings settings{.courses = {{.id = "pl-313", .name = "313"}}, .reminderMinutes = {{30, 1440}}};
    Assessment item{.id = "pl-313:PC5",
        .courseID = "pl-313",
        .title = "Preclass 5, part 1",
        .category = "Preclass",
        .url = "https://learn.example.ca/pl/course_instance/313/assessment/5",
        .release = at(1764500000), // 2025-11-30 10:53:20 UTC
        .due = at(1764748740)}; // 2025-12-03 07:59:00 UTC
};

} // namespace

TEST(ICalendarText, ReadsAServersTextAsATreeAndWritesItBack)
{
    // LF line ends, lower-case names, a fold inside a character and inside a quoted parameter.
    const std::string server = "BEGIN:VCALENDAR\nversion:2.0\nBEGIN:VTODO\nUID:a@b\n"
                               "X-PHONE;CN=\"Kim; Lee:x\";TYPE=a,\"b\":va\n lue:x\n"
                               "DESCRIPTION:노\xEB\n \x85\xB8트\\, 1\\n2\nBEGIN:VALARM\nTRIGGER;RELATED=END:-PT5M\n"
                               "END:VALARM\nEND:vtodo\nEND:VCALENDAR\n\n";
    const Component calendar = parsed(server);
    const Component& todo = calendar.components.at(0);
    EXPECT_EQ(
        calendar.properties.at(0).name + " " + todo.name + " " + todo.components.at(0).name, "VERSION VTODO VALARM");
    EXPECT_EQ(todo.properties.at(1), (ICalendar::Property{"X-PHONE", ";CN=\"Kim; Lee:x\";TYPE=a,\"b\"", "value:x"}));
    EXPECT_EQ(std::tuple(ICalendar::parameter(todo.properties.at(1), "cn"),
                  ICalendar::parameter(todo.properties.at(1), "RELATED"),
                  ICalendar::unescape(todo.property("DESCRIPTION")->value)),
        std::tuple("Kim; Lee:x", std::nullopt, "노노트, 1\n2"));
    const std::string written = ICalendar::write(calendar);
    EXPECT_TRUE(ICalendar::parse(written) == calendar && ICalendar::write(parsed(written)) == written);
    EXPECT_EQ(ICalendar::utcInstant("20251203T075900Z"), at(1764748740));
    for (const char* value : {"20251203T075900", "20251303T075900Z", "20250229T000000Z", "2025-12-03T07:59Z"})
        EXPECT_EQ(ICalendar::utcInstant(value), std::nullopt) << value;
}

TEST(ICalendarText, RefusesIllFormedTextAndTextBeyondItsLimits)
{
    const auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += "BEGIN:X\r\n";
        for (int i = 0; i < depth; ++i)
            text += "END:X\r\n";
        return text;
    };
    const auto repeated = [](const std::string& inner, std::size_t count) {
        std::string text = "BEGIN:VCALENDAR\r\n";
        for (std::size_t i = 0; i < count; ++i)
            text += inner;
        return text + "END:VCALENDAR\r\n";
    };
    const std::pair<std::string, bool> cases[] = {{"", false}, {"BEGIN:VCALENDAR\r\n", false},
        {"BEGIN:A\r\nEND:B\r\n", false}, {"X:1\r\nBEGIN:A\r\nEND:A\r\n", false},
        {"BEGIN:A\r\nEND:A\r\nBEGIN:A\r\nEND:A\r\n", false}, {" X:1\r\nBEGIN:A\r\nEND:A\r\n", false},
        {"BEGIN:A\r\n\r\nEND:A\r\n", false}, {"BEGIN:A\r\nX_Y:1\r\nEND:A\r\n", false},
        {"BEGIN:A\r\nX\r\nEND:A\r\n", false}, {"BEGIN:A\r\nX:a\rb\r\nEND:A\r\n", false},
        {"BEGIN:A\r\nX:a\x01\r\nEND:A\r\n", false}, {"BEGIN:A\r\nX;P=\"a:1\r\nEND:A\r\n", false},
        {"BEGIN:A\r\nX;P:1\r\nEND:A\r\n", false}, {"BEGIN:A\r\nX:\xC3(\r\nEND:A\r\n", false},
        {"BEGIN;X=1:A\r\nEND:A\r\n", false}, {"BEGIN:A\r\nX;P=\"\":\tok\r\nEND:A", true}, {nested(8), true},
        {nested(9), false}, {repeated("BEGIN:X\r\nEND:X\r\n", 999), true},
        {repeated("BEGIN:X\r\nEND:X\r\n", 1000), false}, {repeated("X:1\r\n", 10'000), true},
        {repeated("X:1\r\n", 10'001), false}, {repeated("X:" + std::string(1000, 'a') + "\r\n", 1044), true},
        {repeated("X:" + std::string(1000, 'a') + "\r\n", 1045), false}};
    for (const auto& [text, accepted] : cases)
        EXPECT_EQ(ICalendar::parse(text).has_value(), accepted) << text.substr(0, 60) << " … " << text.size();
}

TEST_F(CalendarTaskTest, WritesAFreshTaskAsTheExportNamesTheItem)
{
    const UserOverride marks{.completed = true, .hidden = true, .completedChanged = later, .hiddenChanged = created};
    settings.calendarServerAlarms = true;
    EXPECT_EQ(lines(build(marks)),
        (Lines{"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Vantory//Deadlines//KO", "BEGIN:VTODO",
            "UID:pl-313:PC5@vantory.app", "SUMMARY:313 | Preclass 5\\, part 1", "DUE:20251203T075900Z",
            "DTSTART:20251130T105320Z", "URL:https://learn.example.ca/pl/course_instance/313/assessment/5",
            "CATEGORIES:313,Preclass",
            "DESCRIPTION:BrevaneLearn · Preclass\\nhttps://learn.example.ca/pl/course_instance/313/assessment/5",
            "STATUS:COMPLETED", "COMPLETED:20251121T044000Z", "X-VANTORY-DONE;CHANGED=20251121T044000Z:TRUE",
            "X-VANTORY-HIDDEN;CHANGED=20251120T183000Z:TRUE", "DTSTAMP:20251120T183000Z",
            "LAST-MODIFIED:20251120T183000Z", "BEGIN:VALARM", "TRIGGER;RELATED=END:-PT30M", "ACTION:DISPLAY",
            "DESCRIPTION:과제 마감", "X-VANTORY-ALARM:30", "END:VALARM", "BEGIN:VALARM", "TRIGGER;RELATED=END:-PT1440M",
            "ACTION:DISPLAY", "DESCRIPTION:과제 마감", "X-VANTORY-ALARM:1440", "END:VALARM", "END:VTODO",
            "END:VCALENDAR"}));
    // The hand-set date wins and keeps its own record; a start after it is left out; an item the
    // sites dropped is cancelled; a submitted one is done without a mark of the student's.
    item.missing = true;
    const std::string moved = build({.due = at(1764400000), .dueChanged = later});
    for (const char* line : {"DUE:20251129T070640Z", "X-VANTORY-DUE;CHANGED=20251121T044000Z:20251129T070640Z",
             "STATUS:CANCELLED", "X-VANTORY-DONE:FALSE"})
        EXPECT_NE(moved.find(std::string(line) + "\r\n"), std::string::npos) << line << "\n" << moved;
    EXPECT_EQ(moved.find("DTSTART"), std::string::npos);
    item.missing = false, item.submitted = true;
    EXPECT_NE(
        build({}).find("STATUS:COMPLETED\r\nCOMPLETED:20251120T183000Z\r\nX-VANTORY-DONE:TRUE"), std::string::npos);
}

// Another program's note, priority, tag, property and alarm survive; rebuilding what the server
// already holds writes nothing, and the digest does not depend on when it is taken.
TEST_F(CalendarTaskTest, ChangesOnlyItsOwnFieldsAndWritesNothingTheServerAlreadyHolds)
{
    settings.calendarServerAlarms = true;
    const UserOverride marks{.completedChanged = created};
    const std::string phone = edited(build(marks),
        {{"CATEGORIES:313,Preclass", "CATEGORIES:313,Preclass,시험"},
            {"DESCRIPTION:BrevaneLearn · Preclass\\nhttps://learn.example.ca/pl/course_instance/313/assessment/5",
                "DESCRIPTION:도서관에서 풀기"}},
        "PRIORITY:1\r\nX-PHONE-COLOR;X-P=1:red\r\nBEGIN:VALARM\r\nTRIGGER:-PT2H\r\nACTION:AUDIO\r\nEND:VALARM\r\n");
    const auto server = ICalendar::parse(phone).value();
    const CalendarTask::Task same = CalendarTask::build(item, settings, marks, later, &server);
    EXPECT_TRUE(!same.changed && ICalendar::write(same.calendar) == phone);
    EXPECT_EQ(CalendarTask::digest(item, settings, marks), CalendarTask::digest(item, settings, marks));

    // A mark moves the stamps; SEQUENCE counts only changes of the dates and the status.
    const std::string hidden
        = build({.hidden = true, .completedChanged = created, .hiddenChanged = later}, later, phone);
    const std::string dueMoved = build({.due = at(1764800000), .completedChanged = created}, later, hidden);
    for (const std::string& text : {hidden, dueMoved})
        for (const char* kept :
            {"PRIORITY:1", "X-PHONE-COLOR;X-P=1:red", "TRIGGER:-PT2H", "DESCRIPTION:도서관에서 풀기",
                "CATEGORIES:313,Preclass,시험", "LAST-MODIFIED:20251121T044000Z", "X-VANTORY-ALARM:1440"})
            EXPECT_NE(text.find(std::string(kept) + "\r\n"), std::string::npos) << kept << "\n" << text;
    EXPECT_TRUE(hidden.find("SEQUENCE") == std::string::npos && dueMoved.find("SEQUENCE:1\r\n") != std::string::npos);
    EXPECT_NE(CalendarTask::digest(item, settings, {.hidden = true}), CalendarTask::digest(item, settings, {}));

    // Alarms switched off take ours away and leave theirs.
    settings.calendarServerAlarms = false;
    const std::string quiet = build(marks, later, phone);
    EXPECT_EQ(std::tuple(quiet.find("X-VANTORY-ALARM"), quiet.find("TRIGGER:-PT2H") != std::string::npos),
        std::tuple(std::string::npos, true));
}

// A phone's task app only flips STATUS and COMPLETED and moves LAST-MODIFIED: that is a change of its own.
TEST_F(CalendarTaskTest, RecognisesAPhonesCompletionAndMergesItOnce)
{
    const UserOverride local{.completedChanged = created};
    const std::string ours = build(local);
    EXPECT_EQ(CalendarTask::marks(parsed(ours)), local);
    const std::string checked = edited(ours,
        {{"STATUS:NEEDS-ACTION", "STATUS:Completed\r\nCOMPLETED:20251121T000000Z\r\nPERCENT-COMPLETE:100"},
            {"LAST-MODIFIED:20251120T183000Z", "LAST-MODIFIED:20251121T000010Z"}});
    const TaskMerge::Result merged = TaskMerge::merge(item, settings, local, parsed(checked), later);
    EXPECT_EQ(std::tuple(merged.marks, merged.marksChanged),
        std::tuple(UserOverride{.completed = true, .completedChanged = at(1763683200)}, true));
    ASSERT_TRUE(merged.write);
    const std::string written = ICalendar::write(*merged.write);
    EXPECT_NE(written.find(
                  "COMPLETED:20251121T000000Z\r\nPERCENT-COMPLETE:100\r\nX-VANTORY-DONE;CHANGED=20251121T000000Z:TRUE"),
        std::string::npos)
        << written;
    // Once written, every computer reads the same marks back and writes nothing more.
    for (const UserOverride& before : {merged.marks, UserOverride{}}) {
        const TaskMerge::Result again = TaskMerge::merge(item, settings, before, *merged.write, later);
        EXPECT_EQ(std::tuple(again.marks, again.write.has_value()), std::tuple(merged.marks, false));
    }
    // Unchecked again on the phone, dated by LAST-MODIFIED; and the percentage goes with our undo.
    const std::string unchecked = edited(written,
        {{"STATUS:COMPLETED", "STATUS:NEEDS-ACTION"}, {"COMPLETED:20251121T000000Z", ""},
            {"LAST-MODIFIED:20251121T044000Z", "LAST-MODIFIED:20251122T000000Z"}});
    EXPECT_EQ(
        CalendarTask::marks(parsed(unchecked)), (UserOverride{.completed = false, .completedChanged = at(1763769600)}));
    const std::string undone = build({.completedChanged = at(1763769700)}, later, written);
    EXPECT_EQ(std::tuple(undone.find("COMPLETED:"), undone.find("PERCENT-COMPLETE")),
        std::tuple(std::string::npos, std::string::npos));
}

// Per mark the later change wins in whole seconds, and a tie goes the same way from either side.
TEST_F(CalendarTaskTest, MergesEachMarkByItsLatestChange)
{
    using M = UserOverride;
    const Instant t1 = at(1000), t1fraction = at(1000.7), t2 = at(2000);
    const std::tuple<const char*, M, M, M> cases[]
        = {{"remote later", {.completed = false, .completedChanged = t1}, {.completed = true, .completedChanged = t2},
               {.completed = true, .completedChanged = t2}},
            {"local later", {.hidden = true, .hiddenChanged = t2}, {.hidden = false, .hiddenChanged = t1},
                {.hidden = true, .hiddenChanged = t2}},
            {"a time beats none", {.due = t2}, {.dueChanged = t1}, {.dueChanged = t1}},
            {"a fraction does not win", {.completed = false, .completedChanged = t1fraction},
                {.completed = true, .completedChanged = t1}, {.completed = true, .completedChanged = t1}},
            {"tie: done wins", {.completed = true, .completedChanged = t1},
                {.completed = false, .completedChanged = t1}, {.completed = true, .completedChanged = t1}},
            {"tie without times: hidden wins", {.hidden = false}, {.hidden = true}, {.hidden = true}},
            {"tie: the later date wins", {.due = t2, .dueChanged = t1}, {.due = t1, .dueChanged = t1},
                {.due = t2, .dueChanged = t1}},
            {"tie: a date wins over none", {.dueChanged = t1}, {.due = t1, .dueChanged = t1},
                {.due = t1, .dueChanged = t1}},
            {"fields apart", {.completed = true, .hidden = false, .completedChanged = t2, .hiddenChanged = t1},
                {.completed = false, .hidden = true, .completedChanged = t1, .hiddenChanged = t2},
                {.completed = true, .hidden = true, .completedChanged = t2, .hiddenChanged = t2}}};
    for (const auto& [name, local, remote, merged] : cases) {
        EXPECT_EQ(TaskMerge::marks(local, remote), merged) << name;
        const M other = TaskMerge::marks(remote, local);
        EXPECT_EQ(std::tuple(other.completed, other.hidden, other.due),
            std::tuple(merged.completed, merged.hidden, merged.due))
            << name << ": the other computer converges";
    }
    // The site's completion holds whatever the task says, and the server is told again.
    item.submitted = true;
    const std::string unchecked
        = edited(build({}), {{"STATUS:COMPLETED", "STATUS:NEEDS-ACTION"}, {"COMPLETED:20251120T183000Z", ""}});
    const TaskMerge::Result result = TaskMerge::merge(item, settings, {}, parsed(unchecked), later);
    EXPECT_EQ(std::tuple(result.marks, result.marksChanged), std::tuple(M{}, false));
    ASSERT_TRUE(result.write);
    EXPECT_NE(ICalendar::write(*result.write).find("STATUS:COMPLETED\r\n"), std::string::npos);
    EXPECT_FALSE(TaskMerge::merge(item, settings, {}, *result.write, later + std::chrono::hours(1)).write)
        << "its completion time stays as written";
}

// python3-icalendar, an independent parser, reads a task we wrote over another program's text.
TEST_F(CalendarTaskTest, IndependentParserReadsTheTask)
{
    settings.calendarServerAlarms = true;
    item.title = "한국어 과제 제목이 아주 길어서 여러 줄로 접혀야 합니다, 세미콜론; 그리고 \\ 역슬래시까지";
    const std::string phone = edited(build({.completed = true, .completedChanged = created}), {},
        "PRIORITY:1\r\nBEGIN:VALARM\r\nTRIGGER:-PT2H\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\nEND:VALARM\r\n");
    const test::TemporaryFolder folder;
    std::ofstream(folder / "task.ics", std::ios::binary)
        << build({.hidden = true, .due = at(1764800000), .hiddenChanged = later, .dueChanged = later}, later, phone);
    const std::string command = "'" VANTORY_PYTHON3 "' '" VANTORY_TESTS "/core/validate_ics.py' '"
        + (folder / "task.ics").string() + "' '313 | " + item.title + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}
