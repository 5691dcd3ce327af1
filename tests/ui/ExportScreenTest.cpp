// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ExportScreen.h"

#include "calendar/CalendarFile.h"

#include "ScreenTest.h"

#include <fstream>

using namespace vantory;
namespace fs = std::filesystem;

namespace {

// 2026-12-06 20:00 UTC.
const Instant now = instantFromSeconds(1796587200);

class ExportScreenTest : public test::ScreenTest {
protected:
    // Items by "course:code" and hours from now; one is done, one hidden, one in a disabled course.
    ExportScreenTest()
        : ScreenTest(now)
    {
        Database db;
        db.settings.courses = {{"1", "313", true, 2026}, {"canvas:2", "CPSC 221", true, 2026}, {"3", "Old", false}};
        for (const auto& [id, hours] : {std::pair<std::string, std::optional<double>>{"1:late", 5}, {"1:past", -1},
                 {"1:now", 0}, {"1:done", 2}, {"1:soon", 1}, {"canvas:2:hidden", 3}, {"canvas:2:undated", {}},
                 {"canvas:2:submitted", 0.5}, {"3:disabled", 1}})
            db.assessments.push_back({.id = id,
                .courseID = id.substr(0, id.rfind(':')),
                .due = hours ? std::optional(now + std::chrono::duration<double>(*hours * 3600)) : std::nullopt,
                .submitted = id.ends_with("submitted")});
        db.overrides = {{"1:done", {.completed = true}}, {"canvas:2:hidden", {.hidden = true}}};
        load(db);
    }
};

} // namespace

TEST_F(ExportScreenTest, ChoicesSelectTheExportedDeadlinesAndTheCountLineFollows)
{
    ExportScreen export_(store, {}, nullptr, [] { return now; });
    export_.show(); // it follows the Store while it shows
    const auto count = [&] { return export_.countLabel()->text(); };
    EXPECT_EQ(count(), u"2개 마감을 .ics 파일로 저장합니다. 마감 시각에 1분 일정으로 표시됩니다."_s);
    QComboBox* courses = export_.courseMenu();
    ASSERT_EQ(courses->count(), 3); // the disabled course is not offered
    EXPECT_EQ(courses->itemText(2), u"CPSC 221 · Canvas"_s);
    const std::pair<std::function<void()>, std::vector<std::string>> steps[] = {{[] {}, {"1:soon", "1:late"}},
        {[&] { export_.futureOnlySwitch()->click(); }, {"1:past", "1:now", "1:soon", "1:late"}},
        {[&] { export_.includeCompletedSwitch()->click(); },
            {"1:past", "1:now", "canvas:2:submitted", "1:soon", "1:done", "1:late"}},
        {[&] { export_.futureOnlySwitch()->click(); }, {"canvas:2:submitted", "1:soon", "1:done", "1:late"}},
        {[&] { Q_EMIT courses->activated(2); }, {"canvas:2:submitted"}}};
    for (const auto& [step, expected] : steps) {
        step();
        std::vector<std::string> ids;
        for (const Assessment& row : export_.rows())
            ids.push_back(row.id);
        EXPECT_EQ(ids, expected);
        EXPECT_TRUE(count().startsWith(QString::number(expected.size()) + u"개 "_s)) << count().toStdString();
    }

    store.override(store.db().assessments[7], [](UserOverride& o) { o.hidden = true; });
    EXPECT_TRUE(count().startsWith(u"0개 "_s) && !export_.saveButton()->isEnabled());
    // A chosen course that gets disabled falls back to all courses rather than limiting unseen.
    store.update([](Database& db) { db.settings.courses[1].enabled = false; });
    EXPECT_EQ(std::tuple(export_.choices().courseID, courses->currentIndex()), std::tuple("all", 0));
}

// What the file holds is the calendar's test; here, that the screen writes it whole and reports.
TEST_F(ExportScreenTest, SavesTheGeneratedFileAndReportsTheCountOrTheFailure)
{
    load(sample::database(400, now));
    ExportScreen export_(store, {.futureOnly = false, .includeCompleted = true}, nullptr, [] { return now; });
    Q_EMIT export_.alarmMenu()->activated(3);
    const auto saveAs = [&](const fs::path& path) {
        export_.setPathChooser([=](QWidget*) { return QString::fromStdString(path.string()); });
        export_.saveButton()->click();
        return export_.result();
    };
    const fs::path target = folder / "Vantory-deadlines.ics";
    std::ofstream(target) << "old";
    EXPECT_EQ(saveAs(target), QString::number(export_.rows().size()) + u"개 일정 저장 완료"_s);
    EXPECT_EQ(test::contents(target), CalendarFile::generate(export_.rows(), store.db(), 1440, now));
    // Only the file itself is left in the folder: the temporary one was renamed over it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2); // + state.json

    const QString failure = saveAs(folder / "no/such/folder.ics");
    EXPECT_TRUE(failure.startsWith(u"저장 실패: "_s) && failure.size() > 7) << failure.toStdString();
    EXPECT_EQ(saveAs({}), failure);
}
