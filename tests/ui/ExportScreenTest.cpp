#include "ui/ExportScreen.h"

#include "calendar/CalendarFile.h"
#include "store/Store.h"

#include "SampleDatabase.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QTest>
#include <QtWidgets>

#include <fstream>
#include <gtest/gtest.h>

using namespace vantory;
namespace fs = std::filesystem;

namespace {

// 2026-12-06 20:00 UTC.
const Instant now = instantFromSeconds(1796587200);

using test::contents;

std::vector<std::string> ids(const std::vector<Assessment>& items)
{
    std::vector<std::string> result;
    for (const Assessment& item : items)
        result.push_back(item.id);
    return result;
}

class ExportScreenTest : public ::testing::Test {
protected:
    ExportScreenTest()
    {
        store.update([](Database& db) {
            db.settings.courses
                = {{"1", "313", true, 2026}, {"canvas:2", "CPSC 221", true, 2026}, {"3", "Old", false, 2025}};
            const auto add = [&db](const std::string& id, std::optional<double> hours, bool submitted = false) {
                const std::string courseID = id.substr(0, id.rfind(':'));
                db.assessments.push_back({.id = id,
                    .courseID = courseID,
                    .code = id.substr(id.rfind(':') + 1),
                    .title = "Title " + id,
                    .category = "Quiz",
                    .availability = "",
                    .due = hours ? std::optional(now + std::chrono::duration<double>(*hours * 3600)) : std::nullopt,
                    .deadlineStatus = "known",
                    .checkedAt = now,
                    .submitted = submitted});
            };
            add("1:late", 5);
            add("1:past", -1);
            add("1:now", 0);
            add("1:done", 2);
            add("1:soon", 1);
            add("canvas:2:hidden", 3);
            add("canvas:2:undated", std::nullopt);
            add("canvas:2:submitted", 0.5, true);
            add("3:disabled", 1);
            db.overrides["1:done"].completed = true;
            db.overrides["canvas:2:hidden"].hidden = true;
        });
    }

    std::unique_ptr<ExportScreen> screen(ExportScreen::Choices choices = {})
    {
        return std::make_unique<ExportScreen>(store, std::move(choices), nullptr, [] { return now; });
    }

    test::SiteScope sites;
    test::TemporaryFolder folder;
    Store store{folder / "state.json", now};
};

} // namespace

TEST_F(ExportScreenTest, ChoicesSelectTheExportedDeadlines)
{
    struct Case {
        const char* name;
        ExportScreen::Choices choices;
        std::vector<std::string> expected;
    };
    // Built by a function: GCC 12 warns falsely (-Wmaybe-uninitialized) on the string member of
    // designated initializers in a table.
    const auto choices = [](std::string courseID, bool futureOnly, bool includeCompleted) {
        ExportScreen::Choices chosen;
        chosen.courseID = std::move(courseID);
        chosen.futureOnly = futureOnly;
        chosen.includeCompleted = includeCompleted;
        return chosen;
    };
    const Case cases[] = {
        {"defaults", choices("all", true, false), {"1:soon", "1:late"}},
        {"past too", choices("all", false, false), {"1:past", "1:now", "1:soon", "1:late"}},
        {"completed too", choices("all", true, true), {"canvas:2:submitted", "1:soon", "1:done", "1:late"}},
        {"one course", choices("canvas:2", true, true), {"canvas:2:submitted"}},
        {"everything", choices("all", false, true),
            {"1:past", "1:now", "canvas:2:submitted", "1:soon", "1:done", "1:late"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ids(screen(c.choices)->rows()), c.expected);
    }
}

TEST_F(ExportScreenTest, MenusAndTheCountLineFollowTheChoicesAndTheStore)
{
    auto export_ = screen();
    EXPECT_EQ(export_->countLabel()->text(),
        QStringLiteral("2개 마감을 .ics 파일로 저장합니다. 마감 시각에 1분 일정으로 표시됩니다."));
    QComboBox* courses = export_->courseMenu();
    ASSERT_EQ(courses->count(), 3); // the disabled course is not offered
    EXPECT_EQ(courses->itemText(2), QStringLiteral("CPSC 221 · Canvas"));

    export_->futureOnlySwitch()->click();
    EXPECT_TRUE(export_->countLabel()->text().startsWith(QStringLiteral("4개 ")));
    export_->includeCompletedSwitch()->click();
    EXPECT_TRUE(export_->countLabel()->text().startsWith(QStringLiteral("6개 ")));
    Q_EMIT courses->activated(2);
    EXPECT_EQ(export_->choices().courseID, "canvas:2");
    EXPECT_TRUE(export_->countLabel()->text().startsWith(QStringLiteral("1개 ")));

    // The last selected item hidden, nothing is left to save.
    store.override(store.db().assessments[7], [](UserOverride& o) { o.hidden = true; });
    EXPECT_TRUE(export_->countLabel()->text().startsWith(QStringLiteral("0개 ")));
    EXPECT_FALSE(export_->saveButton()->isEnabled());
    // A chosen course that gets disabled falls back to all courses rather than limiting unseen.
    store.update([](Database& db) { db.settings.courses[1].enabled = false; });
    EXPECT_EQ(export_->choices().courseID, "all");
    EXPECT_EQ(courses->currentIndex(), 0);
}

// What the file holds is the calendar's test; here, that the screen writes it whole over an older
// one, with the chosen alarm, and reports the count.
TEST_F(ExportScreenTest, SavesTheGeneratedFileAndReportsTheCount)
{
    store.update([](Database& db) { db = sample::database(400, now); });
    auto export_ = screen({.futureOnly = false, .includeCompleted = true});
    Q_EMIT export_->alarmMenu()->activated(3);
    const fs::path target = folder / "Vantory-deadlines.ics";
    std::ofstream(target) << "old";
    export_->setPathChooser([&](QWidget*) { return QString::fromStdString(target.string()); });
    export_->saveButton()->click();

    EXPECT_EQ(contents(target), CalendarFile::generate(export_->rows(), store.db(), 1440, now));
    EXPECT_EQ(export_->result(), QString::number(export_->rows().size()) + QStringLiteral("개 일정 저장 완료"));
    // Only the file itself is left in the folder: the temporary one was renamed over it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2); // + state.json
}

TEST_F(ExportScreenTest, FailureAndCancelAreReportedApart)
{
    auto export_ = screen();
    export_->setPathChooser([&](QWidget*) { return QString::fromStdString((folder / "no/such/folder.ics").string()); });
    export_->save();
    EXPECT_TRUE(export_->result().startsWith(QStringLiteral("저장 실패: ")));
    EXPECT_GT(export_->result().size(), QStringLiteral("저장 실패: ").size());

    const QString failure = export_->result();
    export_->setPathChooser([](QWidget*) { return QString(); });
    export_->save();
    EXPECT_EQ(export_->result(), failure);
}
