// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Assessment.h"

#include "model/JsonDecoding.h"
#include "model/JsonWriter.h"
#include "model/UnicodeText.h"

#include <array>
#include <utility>

namespace vantory {

std::string Assessment::shortCategory() const
{
    static const std::array<std::pair<std::string_view, std::string_view>, 11> labels{{
        {"inclass", "Inclass"},
        {"in class activities", "Inclass"},
        {"preclass", "Preclass"},
        {"quizzes", "Quiz"},
        {"formal quizzes (repeated for practice)", "Quiz"},
        {"quiz practice", "Practice"},
        {"practice for quizzes", "Practice"},
        {"quiz information", "Quiz Info"},
        {"programming assignments", "Assignment"},
        {"tutorials", "Tutorial"},
        {"tutorial", "Tutorial"},
    }};
    const std::string lowered = UnicodeText::lowercased(category);
    for (const auto& [text, label] : labels) {
        if (lowered == text)
            return std::string(label);
    }
    return category;
}

void writeJson(codec::JsonWriter& writer, const AccessRule& rule)
{
    writer.beginObject();
    codec::put(writer, "credit", rule.credit);
    codec::put(writer, "end", rule.end);
    codec::put(writer, "start", rule.start);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, AccessRule& rule)
{
    codec::requireObject(json, "AccessRule");
    rule.credit = codec::required<double>(json, "credit");
    rule.start = codec::required<std::string>(json, "start");
    rule.end = codec::required<std::string>(json, "end");
}

void writeJson(codec::JsonWriter& writer, const RawAssessment& row)
{
    writer.beginObject();
    codec::put(writer, "availability", row.availability);
    codec::put(writer, "category", row.category);
    codec::put(writer, "code", row.code);
    codec::put(writer, "rules", row.rules);
    codec::put(writer, "score", row.score);
    codec::put(writer, "title", row.title);
    codec::put(writer, "url", row.url);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, RawAssessment& row)
{
    codec::requireObject(json, "RawAssessment");
    row.code = codec::required<std::string>(json, "code");
    row.title = codec::required<std::string>(json, "title");
    row.category = codec::required<std::string>(json, "category");
    row.availability = codec::required<std::string>(json, "availability");
    row.score = codec::required<std::string>(json, "score");
    row.url = codec::optional<std::string>(json, "url");
    row.rules = codec::required<std::vector<AccessRule>>(json, "rules");
}

void writeJson(codec::JsonWriter& writer, const PagePayload& payload)
{
    writer.beginObject();
    codec::put(writer, "courseHeading", payload.courseHeading);
    codec::put(writer, "courseID", payload.courseID);
    codec::put(writer, "rows", payload.rows);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, PagePayload& payload)
{
    codec::requireObject(json, "PagePayload");
    payload.courseID = codec::required<std::string>(json, "courseID");
    payload.courseHeading = codec::required<std::string>(json, "courseHeading");
    payload.rows = codec::required<std::vector<RawAssessment>>(json, "rows");
}

void readJson(const codec::JsonValue& json, CanvasAssignment& assignment)
{
    codec::requireObject(json, "CanvasAssignment");
    assignment.id = codec::required<std::string>(json, "id");
    assignment.title = codec::required<std::string>(json, "title");
    assignment.category = codec::required<std::string>(json, "category");
    assignment.due = codec::optional<std::string>(json, "due");
    assignment.release = codec::optional<std::string>(json, "release");
    assignment.url = codec::required<std::string>(json, "url");
}

void writeJson(codec::JsonWriter& writer, const Assessment& assessment)
{
    writer.beginObject();
    codec::put(writer, "availability", assessment.availability);
    codec::put(writer, "category", assessment.category);
    codec::put(writer, "checkedAt", assessment.checkedAt);
    codec::put(writer, "code", assessment.code);
    codec::put(writer, "courseID", assessment.courseID);
    codec::put(writer, "deadlineStatus", assessment.deadlineStatus);
    codec::put(writer, "due", assessment.due);
    codec::put(writer, "id", assessment.id);
    codec::put(writer, "missing", assessment.missing);
    codec::put(writer, "release", assessment.release);
    codec::put(writer, "rules", assessment.rules);
    codec::put(writer, "score", assessment.score);
    codec::put(writer, "submitted", assessment.submitted);
    codec::put(writer, "title", assessment.title);
    codec::put(writer, "url", assessment.url);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, Assessment& assessment)
{
    codec::requireObject(json, "Assessment");
    assessment.id = codec::required<std::string>(json, "id");
    assessment.courseID = codec::required<std::string>(json, "courseID");
    assessment.code = codec::required<std::string>(json, "code");
    assessment.title = codec::required<std::string>(json, "title");
    assessment.category = codec::required<std::string>(json, "category");
    assessment.availability = codec::required<std::string>(json, "availability");
    assessment.score = codec::optional<double>(json, "score");
    assessment.url = codec::optional<std::string>(json, "url");
    assessment.release = codec::optional<Instant>(json, "release");
    assessment.due = codec::optional<Instant>(json, "due");
    assessment.deadlineStatus = codec::required<std::string>(json, "deadlineStatus");
    assessment.rules = codec::required<std::vector<AccessRule>>(json, "rules");
    assessment.checkedAt = codec::required<Instant>(json, "checkedAt");
    assessment.submitted = codec::optional<bool>(json, "submitted");
    assessment.missing = codec::required<bool>(json, "missing");
}

void writeJson(codec::JsonWriter& writer, const UserOverride& override)
{
    writer.beginObject();
    codec::put(writer, "completed", override.completed);
    codec::put(writer, "completedChanged", override.completedChanged);
    codec::put(writer, "due", override.due);
    codec::put(writer, "dueChanged", override.dueChanged);
    codec::put(writer, "hidden", override.hidden);
    codec::put(writer, "hiddenChanged", override.hiddenChanged);
    writer.endObject();
}

void readJson(const codec::JsonValue& json, UserOverride& override)
{
    codec::requireObject(json, "UserOverride");
    override.completed = codec::required<bool>(json, "completed");
    override.hidden = codec::required<bool>(json, "hidden");
    override.due = codec::optional<Instant>(json, "due");
    override.completedChanged = codec::optional<Instant>(json, "completedChanged");
    override.hiddenChanged = codec::optional<Instant>(json, "hiddenChanged");
    override.dueChanged = codec::optional<Instant>(json, "dueChanged");
}

} // namespace vantory
