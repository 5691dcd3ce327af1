#include "model/UnicodeText.h"

#include <gtest/gtest.h>
#include <string>
#include <unicode/locid.h>

namespace vantory {
namespace {

TEST(UnicodeTextTest, LowercasesWithFullRootMappingAndCountsUTF16Units)
{
    const struct {
        const char* text;
        const char* lowercased;
        std::size_t units;
    } cases[] = {
        {"", "", 0}, {"ÉCOLE", "école", 5}, {"İ", "i\u0307", 1}, // root mapping keeps the dot; only Turkish drops it
        {"ΣΑΣ", "σας", 3}, // final sigma depends on context, not on the letter alone
        {"한글", "한글", 2}, {"😀", "😀", 2}, // outside the BMP: a surrogate pair
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        EXPECT_EQ(UnicodeText::lowercased(testCase.text), testCase.lowercased);
        EXPECT_EQ(UnicodeText::utf16Length(testCase.text), testCase.units);
    }
}

// The collator is created on first use, so the POSIX locale is made the default before any
// comparison in this process: the order must not fall back to ASCII order there.
TEST(UnicodeTextTest, ComparesIgnoringCaseAndNumbersByValueInThePosixLocale)
{
    const icu::Locale previous = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US_POSIX"), status);
    const struct {
        const char* left;
        const char* right;
        int sign;
    } cases[] = {
        {"Quiz 2", "quiz 10", -1}, {"abc", "ABC", 0}, {"B", "a", 1}, // ASCII order would put upper case first
        {"e", "é", -1}, // accents still count
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.left) + " vs " + testCase.right);
        const int result = UnicodeText::compareLocalized(testCase.left, testCase.right);
        EXPECT_EQ((result > 0) - (result < 0), testCase.sign);
    }
    icu::Locale::setDefault(previous, status);
}

} // namespace
} // namespace vantory
