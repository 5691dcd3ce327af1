// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/StatusLine.h"

#include "engine/Engine.h"
#include "model/Dates.h"
#include "model/Modes.h"
#include "model/UnicodeText.h"
#include "model/Wording.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace vantory {

namespace {

constexpr const char* dotText = "● ";
constexpr double dotPointSize = 10;
constexpr double placeholderDelay = 60;
// Keeps a boundary that is due now from firing in a tight loop.
constexpr double minimumDelay = 0.05;
constexpr double minimumWidth = 40;
constexpr double maximumWidth = 600;

// One of the nearest deadlines that the line rotates through, with what every step reads of it.
struct DisplayItem {
    const Assessment* item;
    std::string courseName;
    std::string shortCategory;
    double due; // effective due date, seconds since 1970
    double secondsLeft;
};

// A stretch of the main text that takes its own colour; offsets in UTF-16 units of the whole line.
struct ColoredRange {
    std::size_t start;
    std::size_t length;
    std::string hex;
};

// The shortest text that reads back as the same double, always with a fraction or exponent, so
// two signatures are equal exactly when the numbers are.
std::string decimal(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".ein") == std::string::npos)
        text += ".0";
    return text;
}

// Fields are joined with control characters, which no id, name or category holds, so that
// different inputs can never run together into the same signature.
constexpr char fieldSeparator = '\x1f';
constexpr char itemSeparator = '\x1e';

std::string rotationSignature(const std::vector<DisplayItem>& items, const std::vector<double>& durations)
{
    std::string signature;
    for (const DisplayItem& shown : items) {
        signature += shown.item->id;
        signature += fieldSeparator;
        signature += decimal(shown.due);
        signature += itemSeparator;
    }
    signature += '[';
    for (std::size_t index = 0; index < durations.size(); ++index)
        signature += (index == 0 ? "" : ", ") + decimal(durations[index]);
    signature += ']';
    return signature;
}

std::string layoutSignature(const std::vector<DisplayItem>& items, const Settings& settings, double padding,
    double fontSize, const std::string& placeholder)
{
    std::string signature;
    for (const DisplayItem& shown : items) {
        for (const std::string* field : {&shown.item->id, &shown.courseName, &shown.shortCategory}) {
            signature += *field;
            signature += fieldSeparator;
        }
        signature += decimal(shown.due);
        signature += itemSeparator;
    }
    signature += '|' + decimal(padding) + '|' + decimal(fontSize) + '|' + settings.colorMode + '|'
        + (settings.showProgress == true ? "true" : "false") + '|' + placeholder;
    return signature;
}

std::string placeholderText(const Database& db)
{
    if (db.settings.durations.empty())
        return std::string(wording().addDurations);
    if (db.assessments.empty())
        return std::string(wording().connectSites);
    std::string names;
    for (const Course& course : db.settings.courses) {
        if (course.enabled)
            names += (names.empty() ? "" : "/") + course.name;
    }
    return fill(wording().noUpcoming, {names.empty() ? std::string_view("Vantory") : names});
}

// "86.5" → "87": halves away from zero; -0 prints as 0.
std::string percent(double score)
{
    char buffer[400];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, std::round(score) + 0.0, std::chars_format::fixed, 0);
    return std::string(buffer, result.ptr) + "%";
}

// The course name, category and remaining-time ranges of a showing item's line, whose main text
// starts at offset d. An item of a course missing from the settings keeps its name and category
// uncoloured.
std::vector<ColoredRange> colorRanges(const Settings& settings, const DisplayItem& shown, const std::string& remaining,
    const std::string& timeHex, std::size_t d)
{
    const bool dotOnly = settings.colorMode == Modes::LineColors::dot;
    const std::size_t nameLength = UnicodeText::utf16Length(shown.courseName);
    const std::size_t categoryStart = d + nameLength + UnicodeText::utf16Length(" | ");
    const std::size_t categoryLength = UnicodeText::utf16Length(shown.shortCategory);
    const ColoredRange time{
        categoryStart + categoryLength + UnicodeText::utf16Length(" ("), UnicodeText::utf16Length(remaining), timeHex};

    std::vector<ColoredRange> ranges;
    if (const Course* course = settings.course(shown.item->courseID)) {
        const Course colored = settings.coloredCourse(*course);
        ranges.push_back({d, nameLength, colored.menuHex(timeHex)});
        if (const CategoryStyle* style = settings.categoryStyle(colored.id, shown.item->category))
            ranges.push_back({categoryStart, categoryLength, style->color(colored, timeHex)});
        else if (!dotOnly)
            ranges.push_back({categoryStart, categoryLength, timeHex});
    }
    if (!dotOnly)
        ranges.push_back(time);
    return ranges;
}

StatusRun mainRun(std::size_t start, std::size_t length, double fontSize, std::optional<std::string> hex = {})
{
    return StatusRun{start, length, StatusRun::Font::main, fontSize, std::move(hex)};
}

// The optional dot, then the main text cut into the coloured ranges (in order, not overlapping)
// and default-coloured runs between them.
StatusText coloredLine(const std::string& plainText, const std::optional<std::string>& dotHex, double fontSize,
    const std::vector<ColoredRange>& ranges)
{
    StatusText line;
    std::size_t cursor = 0;
    if (dotHex) {
        line.text = dotText;
        cursor = UnicodeText::utf16Length(dotText);
        line.runs.push_back(StatusRun{0, cursor, StatusRun::Font::dot, dotPointSize, dotHex});
    }
    line.text += plainText;
    const std::size_t end = cursor + UnicodeText::utf16Length(plainText);
    for (const ColoredRange& range : ranges) {
        if (range.length == 0)
            continue;
        if (range.start > cursor)
            line.runs.push_back(mainRun(cursor, range.start - cursor, fontSize));
        line.runs.push_back(mainRun(range.start, range.length, fontSize, range.hex));
        cursor = range.start + range.length;
    }
    if (end > cursor)
        line.runs.push_back(mainRun(cursor, end - cursor, fontSize));
    return line;
}

// The texts an item's remaining time can take until its digit count next changes.
std::vector<std::string> widthSamples(double secondsLeft)
{
    const double t = std::max(secondsLeft, 0.0);
    std::vector<std::string> samples{Dates::remaining(t), "59m", "<1m"};
    if (t >= 3600)
        samples.emplace_back(t >= 36000 ? "23h59m" : "9h59m");
    // Capped like the remaining-time text, so a far-off date cannot overflow the conversion.
    const double days = std::min(std::trunc(t / 86400), 1e15 / 1440);
    if (days >= 1)
        samples.push_back(std::to_string(static_cast<std::int64_t>(days)) + "d 23h59m");
    return samples;
}

double measuredContentWidth(const std::vector<DisplayItem>& items, const StatusLine& line, const Settings& settings,
    double fontSize, const MeasureText& measure)
{
    if (items.empty())
        return measure(line.coloredLine);
    double dotWidth = 0;
    if (settings.colorMode != Modes::LineColors::text) {
        const StatusText dot{
            dotText, {StatusRun{0, UnicodeText::utf16Length(dotText), StatusRun::Font::dot, dotPointSize}}};
        dotWidth = measure(dot);
    }
    // The suffix is reserved even without a score, so a score arriving later does not widen the item.
    const std::string suffix = settings.showProgress == true ? " · 100%" : "";
    double widest = 0;
    for (const DisplayItem& shown : items) {
        const std::string prefix = shown.courseName + " | " + shown.shortCategory + " (";
        for (const std::string& sample : widthSamples(shown.secondsLeft)) {
            const std::string text = prefix + sample + ")" + suffix;
            const StatusText sampleText{text, {mainRun(0, UnicodeText::utf16Length(text), fontSize)}};
            widest = std::max(widest, measure(sampleText) + dotWidth);
        }
    }
    return widest;
}

double clampedWidth(double width)
{
    if (!(width >= minimumWidth)) // NaN too
        return minimumWidth;
    return std::min(width, maximumWidth);
}

StatusLine::Alignment alignment(const std::optional<std::string>& setting)
{
    if (setting == Modes::Alignment::left)
        return StatusLine::Alignment::left;
    if (setting == Modes::Alignment::right)
        return StatusLine::Alignment::right;
    return StatusLine::Alignment::center;
}

// The items the line rotates among: the nearest upcoming ones, one per rotation slot.
std::vector<DisplayItem> displayItems(const Database& db, Instant at)
{
    const Settings& settings = db.settings;
    const double now = secondsSince1970(at);
    // The upcoming selection without copying thousands of items to use the first few.
    const std::vector<const Assessment*> upcoming = Engine::upcomingView(db, at, settings.durations.size());
    std::vector<DisplayItem> items;
    items.reserve(std::min(upcoming.size(), settings.durations.size()));
    for (std::size_t index = 0; index < upcoming.size() && index < settings.durations.size(); ++index) {
        const Assessment& item = *upcoming[index];
        // Upcoming items always have an effective due date.
        const double due = secondsSince1970(Engine::due(item, db).value_or(at));
        items.push_back({&item, settings.courseName(item.courseID), item.shortCategory(), due, due - now});
    }
    return items;
}

// The coloured runs of an item's line, and whether a dot leads it.
struct ItemRuns {
    std::vector<ColoredRange> ranges;
    bool withDot = false;
};

// The line of the slot's item among items: its text, colours, tooltip and when it must be composed
// again.
ItemRuns showItem(StatusLine& line, const std::vector<DisplayItem>& items, const Engine::RotationSlot& slot,
    const StatusLineInput& input)
{
    const Settings& settings = input.db.settings;
    const DisplayItem& shown = items[static_cast<std::size_t>(slot.index)];
    const Assessment& item = *shown.item;
    const std::string remaining = Dates::remaining(shown.secondsLeft);
    line.shownAssessmentID = item.id;
    line.plainText = shown.courseName + " | " + shown.shortCategory + " (" + remaining + ")";
    if (settings.showProgress == true && item.score)
        line.plainText += " · " + percent(*item.score);
    line.timeHex = Engine::hex(shown.secondsLeft, settings);
    line.dotHex = Engine::dotHex(shown.secondsLeft, settings);
    line.tooltip
        = fill(wording().itemOfCount, {std::to_string(items.size()), std::to_string(slot.index + 1), shown.courseName})
        + "\n" + item.code + " · " + item.title + "\n"
        + fill(wording().tooltipDue, {Dates::display(instantFromSeconds(shown.due), settings.zone())}) + "\n"
        + input.lastUpdateText;

    double nearest = std::numeric_limits<double>::infinity();
    for (const DisplayItem& other : items)
        nearest = std::min(nearest, other.secondsLeft);
    // The slot end is where the rotation itself changes the item, which a single item never does;
    // NaN becomes the minimum.
    const double slotEnd = items.size() < 2 ? std::numeric_limits<double>::infinity()
        : slot.secondsLeft >= minimumDelay  ? slot.secondsLeft
                                            : minimumDelay;
    // The countdown shows whole minutes left: its text changes when the seconds left cross the
    // next multiple of 60 (at once when they stand on one), which is when the line must be
    // composed again even without a rotation. A passed or unreadable deadline shows no countdown.
    const double minuteLeft = std::fmod(shown.secondsLeft, 60);
    const double nextMinute = minuteLeft > 0 ? minuteLeft
        : shown.secondsLeft > 0              ? 0
                                             : std::numeric_limits<double>::infinity();
    line.nextBoundary = std::min({slotEnd, std::max(nearest, minimumDelay), std::max(nextMinute, minimumDelay)});

    const bool withDot = !line.timeHex.empty() && settings.colorMode != Modes::LineColors::text;
    return {colorRanges(settings, shown, remaining, line.timeHex, withDot ? UnicodeText::utf16Length(dotText) : 0),
        withDot};
}

} // namespace

StatusLine composeStatusLine(const StatusLineInput& input, StatusLineState& state, const MeasureText& measure)
{
    const Database& db = input.db;
    const Settings& settings = db.settings;
    const double fontSize = settings.statusFontSize.value_or(SettingsDefaults::statusFontSize);

    StatusLine line;
    line.padding = settings.statusPadding.value_or(SettingsDefaults::statusPadding);
    line.alignment = alignment(settings.statusAlignment);
    line.effect = settings.transitionStyle.value_or(SettingsDefaults::transitionStyle);
    line.duration = settings.transitionDuration.value_or(SettingsDefaults::transitionDuration);

    const std::vector<DisplayItem> items = displayItems(db, input.now);
    if (std::string signature = rotationSignature(items, settings.durations); signature != state.lastSignature) {
        state.rotationStarted = input.now;
        state.lastSignature = std::move(signature);
    }
    const double elapsed = secondsSince1970(input.now) - secondsSince1970(state.rotationStarted);
    const Engine::RotationSlot slot
        = Engine::rotationSlot(elapsed, static_cast<std::int64_t>(items.size()), settings.durations);

    std::string placeholder;
    ItemRuns runs;
    if (items.empty()) {
        // A file that could not be read must not look like a fresh start with nothing stored.
        placeholder = input.storageProblem.empty() ? placeholderText(db) : std::string(wording().storageProblem);
        line.plainText = placeholder;
        line.tooltip = input.status + "\n" + input.lastUpdateText;
        line.nextBoundary = placeholderDelay;
    } else {
        runs = showItem(line, items, slot, input);
    }

    for (const std::string& warning : input.warnings)
        line.tooltip += "\n⚠ " + warning;
    if (!input.storageProblem.empty())
        line.tooltip = "⚠ " + input.storageProblem + "\n" + line.tooltip;

    line.coloredLine
        = coloredLine(line.plainText, runs.withDot ? std::optional(line.dotHex) : std::nullopt, fontSize, runs.ranges);

    if (std::string signature = layoutSignature(items, settings, line.padding, fontSize, placeholder);
        signature != state.layoutSignature) {
        state.layoutSignature = std::move(signature);
        const double content = measuredContentWidth(items, line, settings, fontSize, measure);
        state.compactWidth = clampedWidth(std::ceil(content + 2 * line.padding + 2));
        line.measured = true;
    }
    line.width = settings.statusWidthMode == Modes::Width::fixed
        ? settings.statusWidth.value_or(SettingsDefaults::statusWidth)
        : state.compactWidth;

    line.animate = state.displayedAssessmentID && line.shownAssessmentID
        && *state.displayedAssessmentID != *line.shownAssessmentID;
    state.displayedAssessmentID = line.shownAssessmentID;
    return line;
}

} // namespace vantory
