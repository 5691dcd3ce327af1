// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Language.h"

#include "model/Dates.h"
#include "model/Wording.h"
#include "status/ReminderText.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace vantory;

namespace {

// Switches the core's language for one test and back to Korean, which every other test expects.
struct InLanguage {
    explicit InLanguage(Language language) { setLanguage(language); }
    ~InLanguage() { setLanguage(Language::korean); }
};

} // namespace

TEST(LanguageTest, TheSessionsLanguageIsFoundAsGettextFindsItAndEnglishStandsForAnyOther)
{
    const std::tuple<const char*, const char*, const char*, const char*, Language> cases[] = {
        {nullptr, nullptr, nullptr, "ko_KR.UTF-8", Language::korean},
        {nullptr, nullptr, nullptr, "en_CA.UTF-8", Language::english},
        {nullptr, nullptr, nullptr, "fr_FR.UTF-8", Language::english},
        {nullptr, nullptr, nullptr, nullptr, Language::english}, {"", "", "", "", Language::english},
        // LC_ALL before LC_MESSAGES before LANG.
        {nullptr, "en_US.UTF-8", "ko_KR.UTF-8", "ko_KR.UTF-8", Language::english},
        {nullptr, "", "ko_KR.UTF-8", "en_US.UTF-8", Language::korean},
        // LANGUAGE's list first, the first entry with a catalogue winning...
        {"fr:ko:en", nullptr, nullptr, "en_US.UTF-8", Language::korean},
        {"ko_KR", nullptr, nullptr, "en_US.UTF-8", Language::korean},
        {"de:es", nullptr, nullptr, "ko_KR.UTF-8", Language::korean},
        {"en", nullptr, nullptr, "ko_KR.UTF-8", Language::english},
        {"kok:ko", nullptr, nullptr, "C", Language::english}, // ...but not under the C locale
        {"ko", nullptr, nullptr, "C.UTF-8", Language::english}, {"::", nullptr, nullptr, "ko@euro", Language::korean}};
    for (const auto& [list, all, messages, lang, expected] : cases)
        EXPECT_EQ(sessionLanguage(list, all, messages, lang), expected)
            << (list ? list : "-") << " " << (all ? all : "-") << " " << (messages ? messages : "-") << " "
            << (lang ? lang : "-");
}

TEST(LanguageTest, DatesAndComposedTextsFollowTheLanguageAcrossTheClockChanges)
{
    // 2026-11-01 08:30 and 09:30 UTC: 01:30 in Vancouver twice, first PDT, then PST; 2026-03-08 10:00 UTC: 03:00 PDT.
    const std::tuple<double, const char*, const char*> cases[]
        = {{1793521800, "11월 1일 (일) 01:30 GMT-7", "Nov 1 (Sun) 01:30 PDT"},
            {1793525400, "11월 1일 (일) 01:30 GMT-8", "Nov 1 (Sun) 01:30 PST"},
            {1772964000, "3월 8일 (일) 03:00 GMT-7", "Mar 8 (Sun) 03:00 PDT"},
            {1796608680, "12월 6일 (일) 17:58 GMT-8", "Dec 6 (Sun) 17:58 PST"}};
    for (const auto& [at, korean, english] : cases) {
        EXPECT_EQ(Dates::display(instantFromSeconds(at), Zone()), korean);
        const InLanguage inEnglish(Language::english);
        EXPECT_EQ(Dates::display(instantFromSeconds(at), Zone()), english);
    }
    // A pattern of its own is worded in the language too.
    const Instant sunday = instantFromSeconds(1793525400);
    EXPECT_EQ(Dates::display(sunday, Zone(), "EEEE MMMM"), "일요일 11월");
    EXPECT_EQ((InLanguage(Language::english), Dates::display(sunday, Zone(), "EEEE MMMM")), "Sunday November");

    Assessment item;
    item.title = "Quiz 3";
    Settings settings;
    settings.courses = {{.id = item.courseID, .name = "313"}};
    const auto reminder = [&] {
        return reminderText(item, settings, instantFromSeconds(1796608680), instantFromSeconds(1796608680 - 5400)).body;
    };
    EXPECT_EQ(reminder(), "마감까지 1h30m 남았어요\n12월 6일 (일) 17:58 GMT-8");
    const InLanguage inEnglish(Language::english);
    EXPECT_EQ(reminder() + " " + Dates::remaining(-1), "1h30m left until it is due\nDec 6 (Sun) 17:58 PST due");
    // Another order of the values, and a placeholder without a value left alone.
    EXPECT_EQ(fill(wording().itemOfCount, {"5", "2", "313"}) + fill("{0}{1}{9}{x}{", {"a", "b"}),
        "Item 2 of 5 · 313ab{9}{x}{");
}
