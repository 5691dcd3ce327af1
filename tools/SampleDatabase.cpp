// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleDatabase.h"

#include "model/Dates.h"
#include "model/Sites.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>

namespace vantory::sample {

namespace {

// The names a student of each language would give the courses.
struct CourseSeed {
    const char* id;
    std::array<const char*, 2> name; // Korean, English
    std::array<const char*, 2> fullName;
    const char* colorHex;
};

constexpr std::array<CourseSeed, 8> courseSeeds{{
    {"4127", {"313", "313"},
        {"CPSC 313 컴퓨터 하드웨어와 운영체제", "CPSC 313 Computer Hardware and Operating Systems"}, "3B82F6"},
    {"4130", {"221", "221"}, {"CPSC 221 기초 알고리즘", "CPSC 221 Basic Algorithms"}, "22C55E"},
    {"4188", {"MATH 200", "MATH 200"}, {"MATH 200 다변수 미적분", "MATH 200 Multivariable Calculus"}, "EAB308"},
    {"4201", {"STAT 251", "STAT 251"}, {"STAT 251 기초 통계", "STAT 251 Elementary Statistics"}, "A855F7"},
    {"canvas:155201", {"운영체제", "OS"}, {"운영체제 (Canvas)", "Operating Systems (Canvas)"}, "EF4444"},
    {"canvas:155233", {"ECON 101", "ECON 101"}, {"ECON 101 미시경제학 원론", "ECON 101 Principles of Microeconomics"},
        "14B8A6"},
    {"canvas:155260", {"ENGL 110", "ENGL 110"}, {"ENGL 110 문학 입문", "ENGL 110 Approaches to Literature"}, "F97316"},
    {"canvas:155302", {"PHYS 118", "PHYS 118"}, {"PHYS 118 전기와 자기", "PHYS 118 Electricity and Magnetism"},
        "EC4899"},
}};

constexpr std::array<const char*, 8> siteCategories{"Preclass", "Inclass", "Quizzes", "Quiz Practice", "Tutorials",
    "Programming Assignments", "Homework", "Formal Quizzes (repeated for practice)"};
constexpr std::array<const char*, 4> canvasCategories{"Assignments", "Quizzes", "Labs", "Discussions"};

// The assessment site's access-rule form in the default zone: "2026-12-08 23:59:00 (PST)".
std::string accessRuleText(Instant instant)
{
    const Zone vancouver;
    const bool daylight = Dates::display(instant, vancouver, "Z") == "-0700";
    return Dates::display(instant, vancouver, "yyyy-MM-dd HH:mm:ss") + (daylight ? " (PDT)" : " (PST)");
}

Assessment makeItem(const CourseSeed& course, std::size_t number, Instant now, Language names, std::mt19937& random)
{
    const bool canvas = std::string_view(course.id).starts_with("canvas:");
    // Most deadlines sit in the next three weeks; some passed, some far ahead.
    std::exponential_distribution<double> ahead(1.0 / (6 * 86400.0));
    std::uniform_real_distribution<double> unit(0, 1);
    const double offset = unit(random) < 0.25 ? -unit(random) * 30 * 86400 : ahead(random);
    const Instant due = now + std::chrono::duration<double>(std::round(offset / 60) * 60);

    Assessment item;
    item.courseID = course.id;
    item.code = canvas ? std::to_string(700000 + number)
                       : (std::string(1, static_cast<char>('A' + number % 6)) + std::to_string(number));
    item.id = item.courseID + ":" + item.code;
    item.category
        = canvas ? canvasCategories[number % canvasCategories.size()] : siteCategories[number % siteCategories.size()];
    const char* canvasTitle = names == Language::english ? "Assignment " : "과제 ";
    item.title = std::string(canvas ? canvasTitle : "Assessment ") + std::to_string(number);
    item.availability = canvas ? "" : "Available";
    item.checkedAt = now - std::chrono::duration<double>(3600);
    item.deadlineStatus = "known";
    item.due = due;
    if (canvas) {
        item.url = Sites::current().canvasBaseURL + "/courses/" + std::string(course.id).substr(7) + "/assignments/"
            + item.code;
        if (unit(random) < 0.3)
            item.submitted = due < now || unit(random) < 0.2;
    } else {
        item.url = Sites::current().assessmentBaseURL + "/pl/course_instance/" + std::string(course.id) + "/assessment/"
            + item.code;
        item.rules = {{100, accessRuleText(due - std::chrono::duration<double>(7 * 86400)), accessRuleText(due)},
            {50, accessRuleText(due), "—"}};
        if (unit(random) < 0.4)
            item.score = std::round(unit(random) * 1000) / 10;
    }
    if (unit(random) < 0.05) {
        item.deadlineStatus = "unknown";
        item.due.reset();
    }
    item.missing = unit(random) < 0.02;
    return item;
}

} // namespace

Sites school()
{
    return {"https://learn.school.example", "https://canvas.school.example"};
}

void useSchool(Database& db)
{
    const Sites sites = school();
    db.settings.assessmentBaseURL = sites.assessmentBaseURL;
    db.settings.canvasBaseURL = sites.canvasBaseURL;
}

Database database(std::size_t itemCount, Instant now, std::uint32_t seed, Language names)
{
    std::mt19937 random(seed);
    Database db;
    const auto inNames = static_cast<std::size_t>(names == Language::english);
    for (const CourseSeed& seedCourse : courseSeeds) {
        db.settings.courses.push_back({seedCourse.id, seedCourse.name[inNames], true, 2026,
            seedCourse.fullName[inNames], seedCourse.colorHex, "calendar", seedCourse.colorHex});
        db.lastSync[seedCourse.id] = now - std::chrono::duration<double>(1800);
    }
    db.settings.normalize();

    std::uniform_real_distribution<double> unit(0, 1);
    db.assessments.reserve(itemCount);
    for (std::size_t number = 0; number < itemCount; ++number) {
        Assessment item = makeItem(courseSeeds[number % courseSeeds.size()], number, now, names, random);
        const double roll = unit(random);
        if (roll < 0.08)
            db.overrides[item.id] = {true, false, std::nullopt};
        else if (roll < 0.10)
            db.overrides[item.id] = {false, true, std::nullopt};
        else if (roll < 0.12 && item.due)
            db.overrides[item.id] = {false, false, *item.due + std::chrono::duration<double>(86400)};
        db.assessments.push_back(std::move(item));
    }
    std::sort(db.assessments.begin(), db.assessments.end(),
        [](const Assessment& a, const Assessment& b) { return a.id < b.id; });
    return db;
}

std::vector<Assessment> freshItems(
    const Database& db, const std::string& courseID, std::size_t count, Instant now, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Assessment> fresh;
    for (const Assessment& stored : db.assessments) {
        if (fresh.size() == count)
            break;
        if (stored.courseID != courseID || unit(random) < 0.05)
            continue; // a few stored items vanish from the site
        Assessment item = stored;
        item.checkedAt = now;
        item.missing = false;
        if (item.due && unit(random) < 0.2)
            *item.due += std::chrono::duration<double>(86400);
        fresh.push_back(std::move(item));
    }
    for (std::size_t number = 0; fresh.size() < count; ++number) {
        Assessment item = fresh.empty() ? Assessment{} : fresh.back();
        item.courseID = courseID;
        item.code = "NEW" + std::to_string(number);
        item.id = courseID + ":" + item.code;
        item.due = now + std::chrono::duration<double>(86400.0 * (1 + number % 20));
        item.deadlineStatus = "known";
        item.checkedAt = now;
        fresh.push_back(std::move(item));
    }
    return fresh;
}

} // namespace vantory::sample
