// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarFile.h"

#include "engine/Engine.h"
#include "model/Course.h"
#include "model/Dates.h"
#include "model/Sites.h"
#include "model/UnicodeText.h"
#include "model/Wording.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

namespace vantory::CalendarFile {

namespace {

constexpr std::size_t maximumLineOctets = 75;
constexpr std::chrono::seconds eventLength{60};

// The instants a basic-form UTC date-time can hold: years 0001 to 9999.
constexpr double earliestWritableSeconds = -62135596800.0; // 0001-01-01T00:00:00Z
constexpr double latestWritableSeconds = 253402300799.0; // 9999-12-31T23:59:59Z

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

// escape(), appended to result in one pass.
void appendEscaped(std::string& result, std::string_view text)
{
    result.reserve(result.size() + text.size());
    for (std::size_t offset = 0; offset < text.size(); ++offset) {
        const char character = text[offset];
        switch (character) {
        case '\\':
            result += "\\\\";
            break;
        case '\r':
            // CR LF and a lone CR are both one line break.
            if (offset + 1 < text.size() && text[offset + 1] == '\n')
                break;
            result += "\\n";
            break;
        case '\n':
            result += "\\n";
            break;
        case ';':
            result += "\\;";
            break;
        case ',':
            result += "\\,";
            break;
        default:
            // The format allows no other control character in a text but the tab.
            if (character == '\t' || !isControlCharacter(character))
                result += character;
        }
    }
}

// fold(), appended to folded: the stretches between folds are copied whole.
void appendFolded(std::string& folded, std::string_view line)
{
    folded.reserve(folded.size() + line.size() + line.size() / maximumLineOctets * 3);
    std::size_t lineOctets = 0;
    std::size_t stretch = 0;
    for (std::size_t offset = 0; offset < line.size();) {
        const std::size_t length
            = static_cast<unsigned char>(line[offset]) < 0x80 ? 1 : UnicodeText::sequenceAt(line, offset).length;
        if (lineOctets + length > maximumLineOctets) {
            folded.append(line.substr(stretch, offset - stretch));
            folded += "\r\n ";
            stretch = offset;
            lineOctets = 1;
        }
        lineOctets += length;
        offset += length;
    }
    folded.append(line.substr(stretch));
}

// The file's text, built in one buffer: each content line is gathered in a scratch buffer and
// folded into the file as it ends, so no line is a string of its own.
class Output {
public:
    // A typical event takes about 450 bytes; reserving them spares copying the text as it grows.
    explicit Output(std::size_t events) { file_.reserve(1024 + 512 * events); }

    // Starts a content line with its name and colon.
    Output& begin(std::string_view name)
    {
        line_.clear();
        line_.append(name);
        line_ += ':';
        return *this;
    }
    Output& text(std::string_view value)
    {
        line_.append(value);
        return *this;
    }
    Output& escaped(std::string_view value)
    {
        appendEscaped(line_, value);
        return *this;
    }
    void end()
    {
        appendFolded(file_, line_);
        file_ += "\r\n";
    }
    // A line without a value to escape.
    void line(std::string_view name, std::string_view value) { begin(name).text(value).end(); }

    std::string& scratch() { return scratch_; }
    std::string take() { return std::move(file_); }

private:
    std::string file_;
    std::string line_;
    std::string scratch_;
};

void writeEvent(Output& output, const Assessment& item, const Database& db, const Dates::Formatter& dueFormat,
    Instant due, const std::string& alarmTrigger, const std::string& stamp)
{
    output.line("BEGIN", "VEVENT");
    output.line("UID", uid(item.id));
    output.line("DTSTAMP", stamp);
    output.line("LAST-MODIFIED", stamp);
    output.line("DTSTART", utcText(due));
    output.line("DTEND", utcText(due + eventLength));
    output.begin("SUMMARY").escaped(db.settings.courseName(item.courseID)).text(" | ").escaped(item.title).end();

    const Course* course = db.settings.course(item.courseID);
    std::string& description = output.scratch();
    description = course ? course->sourceName() : std::string("BrevaneLearn");
    description += " · ";
    description += item.category;
    description += '\n';
    std::string when;
    dueFormat.append(when, due);
    description += fill(wording().exportDue, {when});
    description += '\n';
    description += item.url.value_or("");
    output.begin("DESCRIPTION").escaped(description).end();

    output.begin("CATEGORIES").escaped(item.category).end();
    output.line("TRANSP", "TRANSPARENT");
    // Only links into the two course sites become URL properties; anything else stays in the
    // description as text, where a calendar does not make it a one-tap link.
    if (item.url && Sites::current().isSiteURL(*item.url))
        output.line("URL", *item.url);
    if (!alarmTrigger.empty()) {
        output.line("BEGIN", "VALARM");
        output.line("TRIGGER", alarmTrigger);
        output.line("ACTION", "DISPLAY");
        output.line("DESCRIPTION", std::string(wording().alarmDescription));
        output.line("END", "VALARM");
    }
    output.line("END", "VEVENT");
}

} // namespace

bool isWritable(Instant instant)
{
    const double seconds = secondsSince1970(instant);
    // NaN fails both comparisons.
    return seconds >= earliestWritableSeconds && seconds < latestWritableSeconds + 1;
}

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
    std::string text = "00000000T000000Z";
    // Writes number's last digits right-aligned in text ending before end.
    const auto put = [&text](std::size_t end, unsigned number, std::size_t digits) {
        for (; digits > 0; --digits, number /= 10)
            text[--end] = static_cast<char>('0' + number % 10);
    };
    put(4, static_cast<unsigned>(static_cast<int>(date.year())), 4);
    put(6, static_cast<unsigned>(date.month()), 2);
    put(8, static_cast<unsigned>(date.day()), 2);
    put(11, static_cast<unsigned>(clock.hours().count()), 2);
    put(13, static_cast<unsigned>(clock.minutes().count()), 2);
    put(15, static_cast<unsigned>(clock.seconds().count()), 2);
    return text;
}

// "," and ";" are escaped as text, since readers split the value there. Readers undo escapes each
// their own way, so an id with a backslash, a control character or ill-formed UTF-8 could not stay
// one line and one value in all of them: its bytes are written in hex under a domain of their own,
// which no plain id's UID can end in.
std::string uid(const std::string& id)
{
    std::string value;
    const bool plain = std::none_of(id.begin(), id.end(), [](char c) { return c == '\\' || isControlCharacter(c); });
    if (plain && isWellFormed(id)) {
        appendEscaped(value, id);
        return value.append("@").append(uidDomain);
    }
    for (const char byte : id) {
        constexpr std::string_view digits = "0123456789abcdef";
        value += digits[static_cast<unsigned char>(byte) >> 4];
        value += digits[static_cast<unsigned char>(byte) & 0xF];
    }
    return value.append("@hex.").append(uidDomain);
}

std::string generate(const std::vector<Assessment>& items, const Database& db, std::int64_t alarm, Instant now)
{
    const Zone zone = db.settings.zone();
    Output output(items.size());
    output.line("BEGIN", "VCALENDAR");
    output.line("VERSION", "2.0");
    output.line("PRODID", "-//Vantory//Deadlines//KO");
    output.line("CALSCALE", "GREGORIAN");
    output.line("METHOD", "PUBLISH");
    output.line("X-WR-CALNAME", std::string(wording().calendarName));
    // A hint for calendars that show the file as a calendar of its own; the canonical id is
    // ICU's, never the stored text, so it cannot carry a line break.
    output.line("X-WR-TIMEZONE", zone.id());

    const std::string stamp = utcText(now);
    // Minutes as given, never converted to hours or days.
    const std::string alarmTrigger = alarm > 0 ? "-PT" + std::to_string(alarm) + "M" : std::string();
    const Dates::Formatter dueFormat(zone);
    for (const Assessment& item : items) {
        const std::optional<Instant> due = Engine::due(item, db);
        // A due date outside the years 0001-9999 cannot be written; such an item is as good as undated.
        if (!due || !isWritable(*due) || !isWritable(*due + eventLength))
            continue;
        writeEvent(output, item, db, dueFormat, *due, alarmTrigger, stamp);
    }
    output.line("END", "VCALENDAR");
    return output.take();
}

std::string escape(std::string_view text)
{
    std::string result;
    appendEscaped(result, text);
    return result;
}

std::string fold(std::string_view line)
{
    std::string folded;
    appendFolded(folded, line);
    return folded;
}

} // namespace vantory::CalendarFile
