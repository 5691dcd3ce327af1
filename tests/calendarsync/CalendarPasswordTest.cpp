// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendarsync/CalendarPassword.h"

#include <QTest>

#include <gtest/gtest.h>
#include <optional>

namespace vantory {
namespace {

// On a bus without a secret store the password is kept for this run only, and says so; a new run
// (a fresh object) finds nothing anywhere.
TEST(CalendarPassword, WithoutASecretStoreKeepsThePasswordForThisRunOnly)
{
    const QString key
        = CalendarPassword::key(QStringLiteral("alice"), QStringLiteral("https://cal.example.org:8443/a/b/"));
    EXPECT_EQ(key, QStringLiteral("alice@cal.example.org:8443"));

    CalendarPassword passwords;
    std::optional<CalendarPassword::Kept> kept;
    passwords.keep(key, QStringLiteral("correct horse"), [&](CalendarPassword::Kept result) { kept = result; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return kept.has_value(); }, 20'000));
    EXPECT_EQ(*kept, CalendarPassword::Kept::thisRunOnly);

    const auto read = [](CalendarPassword& from, const QString& key) {
        std::optional<QString> password;
        from.read(key, [&](QString result) { password = result; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return password.has_value(); }, 20'000));
        return password.value_or(QStringLiteral("(none)"));
    };
    EXPECT_EQ(read(passwords, key), QStringLiteral("correct horse"));
    CalendarPassword nextRun;
    EXPECT_EQ(read(nextRun, key), QString());
}

} // namespace
} // namespace vantory
