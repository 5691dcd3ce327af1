// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts that the records store for their choices, each named once. They stay texts in the
// records, so a file that holds a choice this version does not know still loads and keeps it;
// every reader says what an unknown one means.
namespace vantory::Modes {

// Settings::colorMode: which parts of the status line take the urgency colour.
namespace LineColors {
inline constexpr const char* text = "text";
inline constexpr const char* dot = "dot";
inline constexpr const char* both = "both";
} // namespace LineColors

// Course::menuColorMode, Settings::uniformMenuMode and CategoryStyle::mode: where a colour comes from.
namespace ColorSource {
inline constexpr const char* urgency = "urgency";
inline constexpr const char* calendar = "calendar";
inline constexpr const char* course = "course";
inline constexpr const char* custom = "custom";
} // namespace ColorSource

// Settings::dotStyle, timeColorMode and dotColorMode of older files: how a colour is chosen.
namespace ColorChoice {
inline constexpr const char* fixed = "fixed";
inline constexpr const char* rules = "rules";
inline constexpr const char* same = "same";
} // namespace ColorChoice

// Settings::statusWidthMode; anything but fixed measures the width.
namespace Width {
inline constexpr const char* fixed = "fixed";
} // namespace Width

// Settings::statusAlignment; anything but left and right centres.
namespace Alignment {
inline constexpr const char* left = "left";
inline constexpr const char* right = "right";
} // namespace Alignment

// Settings::listSort; anything else orders by date.
namespace ListSort {
inline constexpr const char* date = "date";
inline constexpr const char* course = "course";
inline constexpr const char* category = "category";
inline constexpr const char* title = "title";
} // namespace ListSort

// Settings::transitionStyle, the status view's effect.
namespace Transition {
inline constexpr const char* none = "none";
inline constexpr const char* fade = "fade";
inline constexpr const char* slideUp = "slideUp";
inline constexpr const char* slideDown = "slideDown";
inline constexpr const char* slideLeft = "slideLeft";
inline constexpr const char* zoom = "zoom";
} // namespace Transition

// Assessment::deadlineStatus: how the deadline was found.
namespace Deadline {
inline constexpr const char* known = "known";
inline constexpr const char* unknown = "unknown";
inline constexpr const char* unlimited = "unlimited";
inline constexpr const char* unreleased = "unreleased";
inline constexpr const char* parseError = "parse-error";
} // namespace Deadline

} // namespace vantory::Modes
