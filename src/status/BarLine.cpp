// SPDX-License-Identifier: GPL-3.0-or-later
#include "status/BarLine.h"

#include "engine/Engine.h"
#include "model/UnicodeText.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace vantory {

namespace {

// C0, DEL and C1 controls become spaces; keepLineBreaks leaves "\n" for multi-line tooltips.
std::string withoutControls(std::string_view text, bool keepLineBreaks = false)
{
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t offset = 0; offset < text.size();) {
        const auto sequence = UnicodeText::sequenceAt(text, offset);
        const auto byte = static_cast<unsigned char>(text[offset]);
        const bool c1 = sequence.length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[offset + 1]) < 0xA0;
        if ((sequence.length == 1 && (byte < 0x20 || byte == 0x7F) && !(keepLineBreaks && byte == '\n')) || c1)
            clean += ' ';
        else
            clean.append(text.substr(offset, sequence.length));
        offset += sequence.length;
    }
    return clean;
}

std::string markupEscaped(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// polybar reads "%{" as the start of a tag and "%%" as a literal percent sign.
std::string polybarEscaped(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

// The byte offset in UTF-8 text of a UTF-16 offset.
std::size_t byteOffset(std::string_view text, std::size_t utf16Offset)
{
    std::size_t offset = 0;
    for (std::size_t units = 0; offset < text.size() && units < utf16Offset;) {
        const std::size_t length = UnicodeText::sequenceAt(text, offset).length;
        units += length == 4 ? 2 : 1;
        offset += length;
    }
    return offset;
}

std::string trimmedLines(std::string_view text)
{
    const auto first = text.find_first_not_of('\n');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of('\n') - first + 1));
}

std::string json(const nlohmann::json& value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

std::vector<LineRun> lineRuns(const StatusText& line)
{
    std::vector<LineRun> runs;
    runs.reserve(line.runs.size());
    for (const StatusRun& run : line.runs) {
        const std::size_t begin = byteOffset(line.text, run.start);
        const std::size_t end = byteOffset(line.text, run.start + run.length);
        runs.push_back({withoutControls(std::string_view(line.text).substr(begin, end - begin)), run.colorHex});
    }
    return runs;
}

std::string pangoMarkup(const StatusText& line)
{
    std::string markup;
    for (const LineRun& run : lineRuns(line))
        markup += run.colorHex ? "<span color=\"#" + *run.colorHex + "\">" + markupEscaped(run.text) + "</span>"
                               : markupEscaped(run.text);
    return markup;
}

std::string plainText(const StatusText& line)
{
    return withoutControls(line.text);
}

std::string plainTooltip(const StatusLine& line)
{
    return trimmedLines(withoutControls(line.tooltip, true));
}

std::optional<BarFormat> barFormat(std::string_view name)
{
    if (name == "waybar")
        return BarFormat::waybar;
    if (name == "i3blocks")
        return BarFormat::i3blocks;
    if (name == "polybar")
        return BarFormat::polybar;
    return std::nullopt;
}

std::string urgencyClass(const StatusLine& line, const Database& db, Instant now, bool storageProblem)
{
    if (storageProblem)
        return "error";
    const auto shown = std::find_if(db.assessments.begin(), db.assessments.end(),
        [&line](const Assessment& item) { return line.shownAssessmentID && item.id == *line.shownAssessmentID; });
    const auto due = shown == db.assessments.end() ? std::nullopt : Engine::due(*shown, db);
    if (!due)
        return "idle";
    const double seconds = (*due - now).count();
    return seconds < 0 ? "overdue" : seconds < 86400 ? "urgent" : seconds < 3 * 86400 ? "soon" : "later";
}

std::string barLine(BarFormat format, const StatusLine& line, std::string_view cssClass)
{
    switch (format) {
    case BarFormat::waybar:
        return json({{"text", pangoMarkup(line.coloredLine)}, {"tooltip", markupEscaped(plainTooltip(line))},
            {"class", cssClass}, {"alt", cssClass}});
    case BarFormat::i3blocks: {
        nlohmann::json block{{"full_text", plainText(line.coloredLine)}};
        if (!line.dotHex.empty())
            block["color"] = "#" + line.dotHex;
        return json(block);
    }
    case BarFormat::polybar: {
        std::string text;
        for (const LineRun& run : lineRuns(line.coloredLine))
            text += run.colorHex ? "%{F#" + *run.colorHex + "}" + polybarEscaped(run.text) + "%{F-}"
                                 : polybarEscaped(run.text);
        return text;
    }
    }
    return {};
}

} // namespace vantory
