// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vantory {

// The languages Vantory speaks. Korean is the text of record: every source text is Korean, and
// English is its one translation.
enum class Language { korean, english };

// The language the core words its texts in. The shell sets it at start and when the student picks
// another; until then it is Korean.
Language language();
void setLanguage(Language language);

// The session's language as gettext finds it: the first locale of LC_ALL, LC_MESSAGES and LANG
// that is set; unless that is C or POSIX, LANGUAGE's list is tried first, in order. The first
// entry Vantory has a catalogue for wins, and English stands for every other. Null or empty
// arguments are unset variables.
Language sessionLanguage(const char* languageList, const char* lcAll, const char* lcMessages, const char* lang);

} // namespace vantory
