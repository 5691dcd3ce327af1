#include "model/UnicodeText.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <string>

namespace vantory {
namespace {

TEST(UnicodeTextTest, LowercasesWithFullRootCaseMapping)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"Quiz 2", "quiz 2"},
        {"ÉCOLE", "école"},
        {"İ", "i\u0307"}, // root mapping keeps the dot; only Turkish drops it
        {"ΣΑΣ", "σας"},   // final sigma depends on context, not on the letter alone
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(UnicodeText::lowercased(testCase.text), testCase.expected);
    }
}

TEST(UnicodeTextTest, CountsUTF16CodeUnits)
{
    EXPECT_EQ(UnicodeText::utf16Length(""), 0u);
    EXPECT_EQ(UnicodeText::utf16Length("é"), 1u);
    EXPECT_EQ(UnicodeText::utf16Length("한글"), 2u);
    EXPECT_EQ(UnicodeText::utf16Length("😀"), 2u);
}

// The collator is created on first use, so the POSIX locale is made the default before any
// comparison in this process: the order must not fall back to ASCII order there.
class CompareLocalizedTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        previous = icu::Locale::getDefault();
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("en_US_POSIX"), status);
    }
    static void TearDownTestSuite()
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(previous, status);
    }
    static inline icu::Locale previous;
};

TEST_F(CompareLocalizedTest, IgnoresCaseAndComparesNumbersByValueInThePosixLocale)
{
    const struct {
        const char* left;
        const char* right;
        int sign;
    } cases[] = {
        {"Quiz 2", "quiz 10", -1},
        {"quiz 10", "Quiz 2", 1},
        {"abc", "ABC", 0},
        {"a", "B", -1},
        {"e", "é", -1}, // accents still count
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.left) + " vs " + testCase.right);
        const int result = UnicodeText::compareLocalized(testCase.left, testCase.right);
        EXPECT_EQ((result > 0) - (result < 0), testCase.sign);
    }
}

} // namespace
} // namespace vantory
