// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EditAssessment.h"

#include "model/Dates.h"

#include "ScreenTest.h"

#include <ctime>

using namespace vantory;
using std::chrono::hours;

namespace {

// 2026-03-01 12:00 UTC, a week before the spring daylight-saving change.
const Instant now = instantFromSeconds(1772366400);
const Instant siteDue = instantFromSeconds(1772409540); // 2026-03-01 15:59 PST
const std::vector<AccessRule> rules{{100, "2026-02-20 09:00:00 (PST)", "2026-03-01 15:59:00 (PST)"}, {79.9, "-", "-"}};
const Assessment item{.id = "1:A", .courseID = "1", .code = "A", .title = "Preclass 5", .due = siteDue, .rules = rules};

// The machine's zone for one scope, back to what it was afterwards.
struct MachineZone {
    explicit MachineZone(const char* zone) { qputenv("TZ", zone), tzset(); }
    ~MachineZone() { old.isNull() ? qunsetenv("TZ") : qputenv("TZ", old), tzset(); }
    const QByteArray old = qgetenv("TZ");
};

class EditAssessmentTest : public test::ScreenTest {
protected:
    EditAssessmentTest()
        : ScreenTest(now)
    {
        store.update([](Database& db) {
            db.settings.courses = {{"1", "313", true, 2026}};
            db.assessments.push_back(item);
        });
    }

    static QDateTime wall(int m, int d, int h, int min = 0) { return {QDate(2026, m, d), QTime(h, min), Qt::UTC}; }
    // The stored marks without their change times, which the Store's own tests check.
    std::optional<UserOverride> stored() const
    {
        if (!store.db().overrides.contains(item.id))
            return std::nullopt;
        UserOverride marks = store.db().overrides.at(item.id);
        marks.completedChanged = marks.hiddenChanged = marks.dueChanged = std::nullopt;
        return marks;
    }
};

} // namespace

TEST_F(EditAssessmentTest, StoresTheDeadlineSetByHandInTheSchoolZoneWhateverTheMachineZoneAsAnInstant)
{
    const std::tuple<const char*, const char*, QDateTime, double> cases[] = {
        {"Asia/Seoul", "America/Vancouver", wall(3, 5, 9, 30), 1772731800}, // PST
        {"UTC", "America/Vancouver", wall(3, 8, 23, 59), 1773039540}, // PDT
        {"Europe/Berlin", "America/Vancouver", wall(11, 1, 1, 30), 1793521800}, // repeated hour: PDT
        {"America/Vancouver", "Europe/Berlin", wall(3, 29, 3), 1774746000}, // the first hour of CEST
    };
    for (const auto& [machineZone, schoolZone, wallClock, expected] : cases) {
        SCOPED_TRACE(std::string(machineZone) + " " + schoolZone);
        const MachineZone zone(machineZone);
        store.update([&](Database& db) { db.settings.timeZone = schoolZone; });
        EditAssessment sheet(store, item, nullptr);
        sheet.customSwitch()->setChecked(true);
        EXPECT_TRUE(sheet.dateEditor()->isEnabled());
        sheet.dateEditor()->setDateTime(wallClock);
        QTest::mouseClick(sheet.saveButton(), Qt::LeftButton);
        EXPECT_EQ(std::tuple(sheet.result(), stored()),
            std::tuple(QDialog::Accepted, UserOverride{.due = instantFromSeconds(expected)}));
        EditAssessment reopened(store, item, nullptr);
        EXPECT_TRUE(reopened.customSwitch()->isChecked() && reopened.dateEditor()->dateTime() == wallClock);
    }
    // Another school zone keeps the instant and moves its wall clock; saved untouched, it stays.
    store.update([](Database& db) { db.settings.timeZone = "Asia/Seoul"; });
    EditAssessment reopened(store, item, nullptr);
    EXPECT_EQ(reopened.dateEditor()->dateTime(), wall(3, 29, 10));
    QTest::mouseClick(reopened.saveButton(), Qt::LeftButton);
    EXPECT_EQ(stored(), UserOverride{.due = instantFromSeconds(1774746000)});
}

// The site's deadline shows beside the one set by hand (which later syncs keep: the engine's merge test).
TEST_F(EditAssessmentTest, ShowsTheSiteDatesAndRulesBesideTheDeadlineSetByHand)
{
    store.override(item, [](UserOverride& o) { o.due = siteDue + hours(5); });
    EditAssessment sheet(store, item, nullptr);
    const QStringList texts = test::labels(&sheet).split(u'\n');
    for (const QString& line :
        {u"A · Preclass 5"_s, QString::fromStdString("사이트 마감: " + Dates::display(siteDue, Zone())),
            u"100% · 2026-02-20 09:00:00 (PST) → 2026-03-01 15:59:00 (PST)"_s, u"79% · - → -"_s})
        EXPECT_TRUE(texts.contains(line)) << line.toStdString() << "\n" << texts.join(u'\n').toStdString();
}

TEST_F(EditAssessmentTest, CancelWritesNothingAndSwitchOffKeepsTheOtherCorrections)
{
    EditAssessment cancelled(store, item, nullptr);
    cancelled.customSwitch()->setChecked(true);
    cancelled.dateEditor()->setDateTime(wall(4, 1, 8));
    const auto before = std::filesystem::last_write_time(store.statePath());
    cancelled.cancelButton()->click();
    EXPECT_EQ(std::tuple(cancelled.result(), stored()), std::tuple(QDialog::Rejected, std::nullopt));
    EXPECT_EQ(std::filesystem::last_write_time(store.statePath()), before);

    // An item without a deadline opens at the current minute and saves an override without one.
    Assessment undated = item;
    undated.due.reset();
    EditAssessment sheet(store, undated, nullptr);
    EXPECT_FALSE(sheet.customSwitch()->isChecked());
    EXPECT_NEAR(secondsSince1970(sheet.date()), secondsSince1970(std::chrono::system_clock::now()), 120);
    sheet.saveButton()->click();
    EXPECT_EQ(stored(), UserOverride{});

    store.override(item, [](UserOverride& o) { o = {.completed = true, .due = siteDue + hours(5)}; });
    EditAssessment switchedOff(store, item, nullptr);
    switchedOff.customSwitch()->setChecked(false);
    EXPECT_FALSE(switchedOff.dateEditor()->isEnabled());
    switchedOff.saveButton()->click();
    EXPECT_EQ(stored(), (UserOverride{.completed = true}));
}
