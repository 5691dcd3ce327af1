// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/ICalendar.h"

#include "calendar/CalendarFile.h"
#include "model/UnicodeText.h"

#include <algorithm>
#include <chrono>

namespace vantory::ICalendar {

namespace {

bool isControl(char c)
{
    const auto octet = static_cast<unsigned char>(c);
    return (octet < 0x20 && c != '\t') || octet == 0x7F;
}

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool isName(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), isNameCharacter);
}

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return result;
}

bool isWellFormedUtf8(std::string_view text)
{
    for (std::size_t offset = 0; offset < text.size();) {
        if (static_cast<unsigned char>(text[offset]) < 0x80) {
            ++offset;
            continue;
        }
        const UnicodeText::Utf8Sequence sequence = UnicodeText::sequenceAt(text, offset);
        if (!sequence.valid)
            return false;
        offset += sequence.length;
    }
    return true;
}

// The end of the parameter starting at text[index] (just after its ";"): past its name, "=" and
// its comma-separated values, each quoted or plain; npos when it is ill-formed.
std::size_t parameterEnd(std::string_view text, std::size_t index)
{
    const std::size_t nameStart = index;
    while (index < text.size() && isNameCharacter(text[index]))
        ++index;
    if (index == nameStart || index >= text.size() || text[index] != '=')
        return std::string_view::npos;
    for (++index;; ++index) {
        if (index < text.size() && text[index] == '"') {
            const std::size_t close = text.find('"', index + 1);
            if (close == std::string_view::npos
                || std::any_of(text.begin() + index + 1, text.begin() + close, isControl))
                return std::string_view::npos;
            index = close + 1;
        } else {
            while (index < text.size() && !isControl(text[index]) && text[index] != '"' && text[index] != ';'
                && text[index] != ':' && text[index] != ',')
                ++index;
        }
        if (index >= text.size() || text[index] != ',')
            return index;
    }
}

std::optional<Property> contentLine(std::string_view line)
{
    std::size_t index = 0;
    while (index < line.size() && isNameCharacter(line[index]))
        ++index;
    if (index == 0)
        return std::nullopt;
    const std::size_t nameEnd = index;
    while (index < line.size() && line[index] == ';') {
        index = parameterEnd(line, index + 1);
        if (index == std::string_view::npos)
            return std::nullopt;
    }
    if (index >= line.size() || line[index] != ':')
        return std::nullopt;
    const std::string_view value = line.substr(index + 1);
    if (std::any_of(value.begin(), value.end(), isControl))
        return std::nullopt;
    return Property{
        upper(line.substr(0, nameEnd)), std::string(line.substr(nameEnd, index - nameEnd)), std::string(value)};
}

// Builds the tree from logical lines, within the limits.
class Builder {
public:
    bool add(std::string_view line)
    {
        // Checked once unfolded: a simple writer may fold inside a character.
        std::optional<Property> property = isWellFormedUtf8(line) ? contentLine(line) : std::nullopt;
        if (!property || root_)
            return false;
        if (property->name == "BEGIN") {
            if (!property->parameters.empty() || !isName(property->value) || open_.size() >= maxDepth
                || ++components_ > maxComponents)
                return false;
            open_.push_back({upper(property->value), {}, {}});
            return true;
        }
        if (property->name == "END") {
            if (open_.empty() || !property->parameters.empty() || upper(property->value) != open_.back().name)
                return false;
            Component done = std::move(open_.back());
            open_.pop_back();
            if (open_.empty())
                root_ = std::move(done);
            else
                open_.back().components.push_back(std::move(done));
            return true;
        }
        if (open_.empty() || ++properties_ > maxProperties)
            return false;
        open_.back().properties.push_back(std::move(*property));
        return true;
    }

    std::optional<Component> take() { return open_.empty() ? std::move(root_) : std::nullopt; }

private:
    std::vector<Component> open_;
    std::optional<Component> root_;
    std::size_t components_ = 0;
    std::size_t properties_ = 0;
};

void append(std::string& text, const Component& component)
{
    text.append(CalendarFile::fold("BEGIN:" + component.name)).append("\r\n");
    for (const Property& property : component.properties)
        text.append(CalendarFile::fold(property.name + property.parameters + ":" + property.value)).append("\r\n");
    for (const Component& child : component.components)
        append(text, child);
    text.append(CalendarFile::fold("END:" + component.name)).append("\r\n");
}

// The first item of that name, const or not as the list is.
template <typename Items> auto first(Items& items, std::string_view name) -> decltype(&items.front())
{
    const auto found = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.name == name; });
    return found == items.end() ? nullptr : &*found;
}

} // namespace

const Property* Component::property(std::string_view name) const
{
    return first(properties, name);
}

Property* Component::property(std::string_view name)
{
    return first(properties, name);
}

const Component* Component::component(std::string_view name) const
{
    return first(components, name);
}

Component* Component::component(std::string_view name)
{
    return first(components, name);
}

std::optional<Component> parse(std::string_view text)
{
    if (text.size() > maxBytes)
        return std::nullopt;
    Builder builder;
    std::string logical;
    bool started = false;
    for (std::size_t position = 0; position < text.size();) {
        const std::size_t end = std::min(text.find('\n', position), text.size());
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty()) {
            // Only blank lines at the very end are tolerated.
            if (text.find_first_not_of("\r\n", position) == std::string_view::npos)
                break;
            return std::nullopt;
        }
        if (line.front() == ' ' || line.front() == '\t') {
            if (!started)
                return std::nullopt;
            logical.append(line.substr(1));
            continue;
        }
        if (started && !builder.add(logical))
            return std::nullopt;
        logical.assign(line);
        started = true;
    }
    if (!started || !builder.add(logical))
        return std::nullopt;
    return builder.take();
}

std::string write(const Component& component)
{
    std::string text;
    append(text, component);
    return text;
}

std::optional<std::string> parameter(const Property& property, std::string_view name)
{
    const std::string_view text = property.parameters;
    for (std::size_t start = 0; start < text.size() && text[start] == ';';) {
        const std::size_t end = parameterEnd(text, start + 1);
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view parameter = text.substr(start + 1, end - start - 1);
        const std::size_t equals = parameter.find('=');
        if (same(parameter.substr(0, equals), name)) {
            std::string_view value = parameter.substr(equals + 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return std::string(value);
        }
        start = end;
    }
    return std::nullopt;
}

bool same(std::string_view left, std::string_view right)
{
    return upper(left) == upper(right);
}

std::string unescape(std::string_view value)
{
    std::string text;
    text.reserve(value.size());
    for (std::size_t index = 0; index < value.size(); ++index) {
        const char c = value[index];
        if (c != '\\' || index + 1 == value.size()) {
            text += c;
            continue;
        }
        const char next = value[++index];
        if (next == 'n' || next == 'N')
            text += '\n';
        else if (next == '\\' || next == ';' || next == ',')
            text += next;
        else
            text.append({c, next});
    }
    return text;
}

std::optional<Instant> utcInstant(std::string_view value)
{
    using namespace std::chrono;
    if (value.size() != 16 || value[8] != 'T' || value[15] != 'Z')
        return std::nullopt;
    const auto number = [&](std::size_t start, std::size_t length) {
        int result = 0;
        for (std::size_t index = start; index < start + length; ++index) {
            if (value[index] < '0' || value[index] > '9')
                return -1;
            result = result * 10 + (value[index] - '0');
        }
        return result;
    };
    const int yearNumber = number(0, 4), monthNumber = number(4, 2), dayNumber = number(6, 2);
    const int hour = number(9, 2), minute = number(11, 2), second = number(13, 2);
    const year_month_day date{
        year{yearNumber}, month{static_cast<unsigned>(monthNumber)}, day{static_cast<unsigned>(dayNumber)}};
    // A leap second (60) reads as the second before it.
    if (yearNumber < 1 || !date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
        return std::nullopt;
    const sys_seconds time = sys_days(date) + hours(hour) + minutes(minute) + seconds(std::min(second, 59));
    return instantFromSeconds(static_cast<double>(time.time_since_epoch().count()));
}

} // namespace vantory::ICalendar
