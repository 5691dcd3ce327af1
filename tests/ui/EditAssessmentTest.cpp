#include "ui/EditAssessment.h"

#include "engine/Engine.h"
#include "model/Dates.h"
#include "store/Store.h"

#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtWidgets>

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

// 2026-03-01 12:00 UTC, a week before the spring daylight-saving change.
const Instant now = instantFromSeconds(1772366400);
const Instant siteDue = instantFromSeconds(1772409540); // 2026-03-01 15:59 PST

// The machine's zone for one scope, back to what it was afterwards.
struct MachineZone {
    explicit MachineZone(const char* zone)
    {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~MachineZone()
    {
        old ? setenv("TZ", old->c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    const std::optional<std::string> old
        = std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

class EditAssessmentTest : public ::testing::Test {
protected:
    EditAssessmentTest()
    {
        store.update([](Database& db) {
            db.settings.courses = {{"1", "313", true, 2026}};
            db.assessments.push_back(item);
        });
    }

    // Sets the deadline by hand, in the sheet's wall clock, and saves.
    void saveCustom(EditAssessment& sheet, const QDateTime& wallClock)
    {
        sheet.customSwitch()->setChecked(true);
        ASSERT_TRUE(sheet.dateEditor()->isEnabled());
        sheet.dateEditor()->setDateTime(wallClock);
        QTest::mouseClick(sheet.saveButton(), Qt::LeftButton);
    }

    std::optional<UserOverride> storedOverride() const
    {
        const auto found = store.db().overrides.find(item.id);
        return found == store.db().overrides.end() ? std::nullopt : std::optional(found->second);
    }

    static inline const Assessment item{.id = "1:A",
        .courseID = "1",
        .code = "A",
        .title = "Preclass 5",
        .category = "Preclass",
        .availability = "",
        .due = siteDue,
        .deadlineStatus = "known",
        .rules = {{100, "2026-02-20 09:00:00 (PST)", "2026-03-01 15:59:00 (PST)"}, {79.9, "-", "-"}},
        .checkedAt = now};

    test::SiteScope sites;
    test::TemporaryFolder folder;
    Store store{folder / "state.json", now};
};

} // namespace

TEST_F(EditAssessmentTest, StoresTheDeadlineSetByHandInTheSchoolZoneWhateverTheMachineZone)
{
    struct Case {
        const char* machineZone;
        const char* schoolZone;
        QDateTime wallClock;
        double expectedUTC;
    };
    const Case cases[] = {
        {"Asia/Seoul", "America/Vancouver", QDateTime(QDate(2026, 3, 5), QTime(9, 30), Qt::UTC), 1772731800}, // PST
        {"UTC", "America/Vancouver", QDateTime(QDate(2026, 3, 8), QTime(23, 59), Qt::UTC), 1773039540}, // PDT
        {"Europe/Berlin", "America/Vancouver", QDateTime(QDate(2026, 11, 1), QTime(1, 30), Qt::UTC),
            1793521800}, // repeated hour: PDT
        {"America/Vancouver", "Europe/Berlin", QDateTime(QDate(2026, 3, 29), QTime(3, 0), Qt::UTC),
            1774746000}, // the first hour of CEST
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.machineZone) + " " + c.schoolZone);
        const MachineZone zone(c.machineZone);
        store.update([&](Database& db) { db.settings.timeZone = c.schoolZone; });
        EditAssessment sheet(store, item, nullptr);
        saveCustom(sheet, c.wallClock);
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
        ASSERT_TRUE(storedOverride() && storedOverride()->due);
        EXPECT_EQ(secondsSince1970(*storedOverride()->due), c.expectedUTC);
        // Reopening shows the same wall clock with the switch on.
        EditAssessment reopened(store, item, nullptr);
        EXPECT_TRUE(reopened.customSwitch()->isChecked());
        EXPECT_EQ(reopened.dateEditor()->dateTime(), c.wallClock);
    }
}

TEST_F(EditAssessmentTest, AnotherSchoolZoneKeepsTheInstantSetByHandAndMovesItsWallClock)
{
    EditAssessment sheet(store, item, nullptr);
    saveCustom(sheet, QDateTime(QDate(2026, 3, 4), QTime(18, 0), Qt::UTC));
    const Instant custom = instantFromSeconds(1772676000); // 2026-03-04 18:00 PST
    store.update([](Database& db) { db.settings.timeZone = "Asia/Seoul"; });
    ASSERT_EQ(storedOverride()->due, custom);

    EditAssessment reopened(store, item, nullptr);
    EXPECT_EQ(reopened.dateEditor()->dateTime(), QDateTime(QDate(2026, 3, 5), QTime(11, 0), Qt::UTC));
    // Saved untouched, the deadline stays the same instant.
    QTest::mouseClick(reopened.saveButton(), Qt::LeftButton);
    EXPECT_EQ(storedOverride()->due, custom);
}

// The date set by hand wins over a later sync that moves the site's date, and over the item's absence.
TEST_F(EditAssessmentTest, DeadlineSetByHandSurvivesLaterSyncsAndAMissingItem)
{
    store.override(item, [](UserOverride& o) { o.due = siteDue + std::chrono::hours(5); });
    Database db = store.db();
    Assessment moved = item;
    moved.due = siteDue + std::chrono::hours(48);
    Engine::merge({moved}, "1", db, now);
    EXPECT_EQ(Engine::due(db.assessments.front(), db), siteDue + std::chrono::hours(5));
    Engine::merge({}, "1", db, now);
    ASSERT_TRUE(db.assessments.front().missing);
    EXPECT_EQ(Engine::due(db.assessments.front(), db), siteDue + std::chrono::hours(5));
}

TEST_F(EditAssessmentTest, ShowsTheSiteDatesAndRulesAsTheSiteGaveThem)
{
    store.override(item, [](UserOverride& o) { o.due = siteDue + std::chrono::hours(5); });
    EditAssessment sheet(store, item, nullptr);
    QStringList texts;
    for (const QLabel* label : sheet.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("A · Preclass 5"))) << texts.join(QLatin1Char('|')).toStdString();
    // The site's deadline even though the override replaces it.
    EXPECT_TRUE(texts.contains(QString::fromStdString("사이트 마감: " + Dates::display(siteDue, Zone()))));
    EXPECT_TRUE(texts.contains(QStringLiteral("100% · 2026-02-20 09:00:00 (PST) → 2026-03-01 15:59:00 (PST)")));
    EXPECT_TRUE(texts.contains(QStringLiteral("79% · - → -")));
    EXPECT_TRUE(sheet.customSwitch()->isChecked());
    EXPECT_EQ(sheet.dateEditor()->dateTime(), QDateTime(QDate(2026, 3, 1), QTime(20, 59), Qt::UTC));
}

TEST_F(EditAssessmentTest, CancelWritesNothingAndSwitchOffKeepsTheOtherCorrections)
{
    EditAssessment cancelled(store, item, nullptr);
    cancelled.customSwitch()->setChecked(true);
    cancelled.dateEditor()->setDateTime(QDateTime(QDate(2026, 4, 1), QTime(8, 0), Qt::UTC));
    const auto before = std::filesystem::last_write_time(store.statePath());
    cancelled.cancelButton()->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_FALSE(storedOverride());
    EXPECT_EQ(std::filesystem::last_write_time(store.statePath()), before);

    store.override(item, [](UserOverride& o) {
        o.completed = true;
        o.due = siteDue + std::chrono::hours(5);
    });
    EditAssessment sheet(store, item, nullptr);
    sheet.customSwitch()->setChecked(false);
    EXPECT_FALSE(sheet.dateEditor()->isEnabled());
    sheet.saveButton()->click();
    EXPECT_EQ(storedOverride(), (UserOverride{.completed = true, .hidden = false, .due = std::nullopt}));
}

TEST_F(EditAssessmentTest, ItemWithoutDeadlineOpensAtTheCurrentMinuteAndSavesAnEmptyOverride)
{
    Assessment undated = item;
    undated.due.reset();
    EditAssessment sheet(store, undated, nullptr);
    EXPECT_FALSE(sheet.customSwitch()->isChecked());
    EXPECT_NEAR(secondsSince1970(sheet.date()), secondsSince1970(std::chrono::system_clock::now()), 120);
    sheet.saveButton()->click();
    EXPECT_EQ(storedOverride(), UserOverride{});
}
