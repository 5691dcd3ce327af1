// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A strict reader and writer of one iCalendar (RFC 5545) resource as a tree of components, for
// texts a calendar server sends: what it reads it writes back unchanged but for line folding, so
// the parts of a task that other programs added survive our updates.
namespace vantory::ICalendar {

// A calendar server's one task is a few kilobytes; anything far beyond is refused unread. Every
// content line is a property or starts or ends a component, so these bound the lines too.
inline constexpr std::size_t maxBytes = 1024 * 1024;
inline constexpr std::size_t maxDepth = 8;
inline constexpr std::size_t maxProperties = 10'000;
inline constexpr std::size_t maxComponents = 1'000;

struct Property {
    std::string name; // upper case
    std::string parameters; // as written, each with its leading ";": ";RELATED=END"
    std::string value; // as written, escapes kept

    bool operator==(const Property&) const = default;
};

struct Component {
    std::string name; // upper case
    std::vector<Property> properties;
    std::vector<Component> components;

    bool operator==(const Component&) const = default;

    // The first property or sub-component of that (upper-case) name; none when there is none.
    const Property* property(std::string_view name) const;
    Property* property(std::string_view name);
    const Component* component(std::string_view name) const;
    Component* component(std::string_view name);
};

// The one top-level component of the text (its lines ended by CR LF or LF, folded anywhere), or
// none when the text is not well-formed iCalendar in UTF-8 or exceeds a limit.
std::optional<Component> parse(std::string_view text);

// The component's text: lines folded at 75 octets and ended by CR LF.
std::string write(const Component& component);

// The value of the property's first parameter of that name (any case), quotes removed; none when
// it has none.
std::optional<std::string> parameter(const Property& property, std::string_view name);

// Whether two names or enumerated values ("COMPLETED", "TRUE") are the same: they ignore case.
bool same(std::string_view left, std::string_view right);

// A TEXT value with its escapes undone.
std::string unescape(std::string_view value);

// A UTC DATE-TIME value ("20251203T075900Z"); none for any other form.
std::optional<Instant> utcInstant(std::string_view value);

} // namespace vantory::ICalendar
