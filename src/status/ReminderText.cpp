// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/ReminderText.h"

#include "model/Dates.h"
#include "model/UnicodeText.h"
#include "model/Wording.h"

namespace vantory {

namespace {

// Scraped text on one line: control characters become spaces, and a long text is cut after whole
// characters with an ellipsis.
std::string oneLine(std::string_view text, std::size_t characters)
{
    std::string line;
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < text.size();) {
        const UnicodeText::Utf8Sequence sequence = UnicodeText::sequenceAt(text, offset);
        if (count == characters) {
            line += "…";
            break;
        }
        const auto byte = static_cast<unsigned char>(text[offset]);
        if (sequence.length == 1 && (byte < 0x20 || byte == 0x7F))
            line += ' ';
        else
            line.append(text.substr(offset, sequence.length));
        offset += sequence.length;
        ++count;
    }
    return std::string(UnicodeText::trimmed(line));
}

} // namespace

ReminderText reminderText(const Assessment& item, const Settings& settings, Instant due, Instant now)
{
    const std::string title = item.title.empty() ? item.shortCategory() : item.title;
    const std::string summary = settings.courseName(item.courseID) + " · " + title;
    const double secondsLeft = secondsSince1970(due) - secondsSince1970(now);
    return {oneLine(summary, ReminderText::summaryLength),
        fill(wording().reminderBody, {Dates::remaining(secondsLeft)}) + "\n" + Dates::display(due, settings.zone())};
}

} // namespace vantory
