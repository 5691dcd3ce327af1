#include "calendar/CalendarFile.h"

#include "engine/Engine.h"
#include "model/Course.h"
#include "model/Dates.h"
#include "model/Sites.h"
#include "model/UnicodeText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

namespace vantory::CalendarFile {

namespace {

constexpr std::size_t maximumLineOctets = 75;
constexpr std::chrono::seconds eventLength{60};

// The instants a basic-form UTC date-time can hold: years 0001 to 9999.
constexpr double earliestWritableSeconds = -62135596800.0; // 0001-01-01T00:00:00Z
constexpr double latestWritableSeconds = 253402300799.0; // 9999-12-31T23:59:59Z

bool isWritable(Instant instant)
{
    const double seconds = secondsSince1970(instant);
    // NaN fails both comparisons.
    return seconds >= earliestWritableSeconds && seconds < latestWritableSeconds + 1;
}

// "20251203T075900Z": UTC, proleptic Gregorian, fraction of a second dropped. Instants outside the
// writable years are clamped so the conversion to whole seconds stays defined.
std::string utcText(Instant instant)
{
    using namespace std::chrono;
    double value = secondsSince1970(instant);
    if (!(value >= earliestWritableSeconds))
        value = earliestWritableSeconds;
    value = std::min(value, latestWritableSeconds);

    const sys_seconds time{seconds{static_cast<std::int64_t>(std::floor(value))}};
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02u%02uT%02d%02d%02dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
        static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()));
    return buffer;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(from, start)) != std::string::npos; start = found + from.size()) {
        result.append(text, start, found - start);
        result.append(to);
    }
    result.append(text, start);
    text = std::move(result);
}

bool isControlCharacter(char character)
{
    const auto octet = static_cast<unsigned char>(character);
    return octet < 0x20 || octet == 0x7F;
}

bool isWellFormed(std::string_view text)
{
    for (std::size_t offset = 0; offset < text.size();) {
        const UnicodeText::Utf8Sequence sequence = UnicodeText::sequenceAt(text, offset);
        if (!sequence.valid)
            return false;
        offset += sequence.length;
    }
    return true;
}

// The UID stays the item's id, so a re-imported calendar matches its events; "," and ";" are
// escaped as text, since readers split the value there. Readers undo escapes each their own way,
// so an id with a backslash, a control character or ill-formed UTF-8 could not stay one line and
// one value in all of them: its bytes are written in hex under a domain of their own, which no
// plain id's UID can end in.
std::string uid(const std::string& id)
{
    const bool plain = std::none_of(id.begin(), id.end(), [](char c) { return c == '\\' || isControlCharacter(c); });
    if (plain && isWellFormed(id))
        return escape(id) + "@" + std::string(uidDomain);
    std::string hex;
    for (const char byte : id) {
        constexpr std::string_view digits = "0123456789abcdef";
        hex += digits[static_cast<unsigned char>(byte) >> 4];
        hex += digits[static_cast<unsigned char>(byte) & 0xF];
    }
    return hex + "@hex." + std::string(uidDomain);
}

void appendEvent(std::vector<std::string>& lines, const Assessment& item, const Database& db, const Zone& zone,
    Instant due, std::int64_t alarm, const std::string& stamp)
{
    const Course* course = db.settings.course(item.courseID);
    const std::string summary = db.settings.courseName(item.courseID) + " | " + item.title;
    const std::string description = (course ? course->sourceName() : std::string("BrevaneLearn")) + " · "
        + item.category + "\n마감: " + Dates::display(due, zone) + "\n" + item.url.value_or("");

    lines.push_back("BEGIN:VEVENT");
    lines.push_back("UID:" + uid(item.id));
    lines.push_back("DTSTAMP:" + stamp);
    lines.push_back("LAST-MODIFIED:" + stamp);
    lines.push_back("DTSTART:" + utcText(due));
    lines.push_back("DTEND:" + utcText(due + eventLength));
    lines.push_back("SUMMARY:" + escape(summary));
    lines.push_back("DESCRIPTION:" + escape(description));
    lines.push_back("CATEGORIES:" + escape(item.category));
    lines.push_back("TRANSP:TRANSPARENT");
    // Only links into the two course sites become URL properties; anything else stays in the
    // description as text, where a calendar does not make it a one-tap link.
    if (item.url && Sites::current().isSiteURL(*item.url))
        lines.push_back("URL:" + *item.url);
    if (alarm > 0) {
        // Minutes as given, never converted to hours or days.
        lines.push_back("BEGIN:VALARM");
        lines.push_back("TRIGGER:-PT" + std::to_string(alarm) + "M");
        lines.push_back("ACTION:DISPLAY");
        lines.push_back("DESCRIPTION:과제 마감");
        lines.push_back("END:VALARM");
    }
    lines.push_back("END:VEVENT");
}

} // namespace

std::string generate(const std::vector<Assessment>& items, const Database& db, std::int64_t alarm, Instant now)
{
    const Zone zone = db.settings.zone();
    std::vector<std::string> lines{
        "BEGIN:VCALENDAR",
        "VERSION:2.0",
        "PRODID:-//Vantory//Deadlines//KO",
        "CALSCALE:GREGORIAN",
        "METHOD:PUBLISH",
        "X-WR-CALNAME:Vantory 마감",
        // A hint for calendars that show the file as a calendar of its own; the canonical id is
        // ICU's, never the stored text, so it cannot carry a line break.
        "X-WR-TIMEZONE:" + zone.id(),
    };
    const std::string stamp = utcText(now);
    for (const Assessment& item : items) {
        const std::optional<Instant> due = Engine::due(item, db);
        // A due date outside the years 0001-9999 cannot be written; such an item is as good as undated.
        if (!due || !isWritable(*due) || !isWritable(*due + eventLength))
            continue;
        appendEvent(lines, item, db, zone, *due, alarm, stamp);
    }
    lines.push_back("END:VCALENDAR");

    std::string file;
    for (const std::string& line : lines) {
        file += fold(line);
        file += "\r\n";
    }
    return file;
}

std::string escape(std::string_view text)
{
    // Backslashes first, so the ones the later steps insert are not doubled again.
    std::string result(text);
    replaceAll(result, "\\", "\\\\");
    replaceAll(result, "\r\n", "\n");
    replaceAll(result, "\r", "\n");
    // The format allows no other control character in a text but the tab.
    std::erase_if(result, [](char c) { return c != '\n' && c != '\t' && isControlCharacter(c); });
    replaceAll(result, "\n", "\\n");
    replaceAll(result, ";", "\\;");
    replaceAll(result, ",", "\\,");
    return result;
}

std::string fold(std::string_view line)
{
    std::string folded;
    folded.reserve(line.size() + line.size() / maximumLineOctets * 3);
    std::size_t lineOctets = 0;
    for (std::size_t offset = 0; offset < line.size();) {
        const std::size_t length = UnicodeText::sequenceAt(line, offset).length;
        if (lineOctets + length > maximumLineOctets) {
            folded += "\r\n ";
            lineOctets = 1;
        }
        folded.append(line.substr(offset, length));
        lineOctets += length;
        offset += length;
    }
    return folded;
}

} // namespace vantory::CalendarFile
