#include "model/Assessment.h"

#include "model/JsonSupport.h"
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

void to_json(nlohmann::json& json, const AccessRule& rule)
{
    json = {{"credit", rule.credit}, {"start", rule.start}, {"end", rule.end}};
}

void from_json(const nlohmann::json& json, AccessRule& rule)
{
    codec::requireObject(json, "AccessRule");
    rule.credit = codec::required<double>(json, "credit");
    rule.start = codec::required<std::string>(json, "start");
    rule.end = codec::required<std::string>(json, "end");
}

void to_json(nlohmann::json& json, const RawAssessment& row)
{
    json = {{"code", row.code},
            {"title", row.title},
            {"category", row.category},
            {"availability", row.availability},
            {"score", row.score},
            {"rules", row.rules}};
    codec::putOptional(json, "url", row.url);
}

void from_json(const nlohmann::json& json, RawAssessment& row)
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

void to_json(nlohmann::json& json, const PagePayload& payload)
{
    json = {{"courseID", payload.courseID}, {"courseHeading", payload.courseHeading}, {"rows", payload.rows}};
}

void from_json(const nlohmann::json& json, PagePayload& payload)
{
    codec::requireObject(json, "PagePayload");
    payload.courseID = codec::required<std::string>(json, "courseID");
    payload.courseHeading = codec::required<std::string>(json, "courseHeading");
    payload.rows = codec::required<std::vector<RawAssessment>>(json, "rows");
}

void from_json(const nlohmann::json& json, CanvasAssignment& assignment)
{
    codec::requireObject(json, "CanvasAssignment");
    assignment.id = codec::required<std::string>(json, "id");
    assignment.title = codec::required<std::string>(json, "title");
    assignment.category = codec::required<std::string>(json, "category");
    assignment.due = codec::optional<std::string>(json, "due");
    assignment.release = codec::optional<std::string>(json, "release");
    assignment.url = codec::required<std::string>(json, "url");
}

void to_json(nlohmann::json& json, const Assessment& assessment)
{
    json = {{"id", assessment.id},
            {"courseID", assessment.courseID},
            {"code", assessment.code},
            {"title", assessment.title},
            {"category", assessment.category},
            {"availability", assessment.availability},
            {"deadlineStatus", assessment.deadlineStatus},
            {"rules", assessment.rules},
            {"checkedAt", codec::encode(assessment.checkedAt)},
            {"missing", assessment.missing}};
    codec::putOptional(json, "score", assessment.score);
    codec::putOptional(json, "url", assessment.url);
    codec::putOptional(json, "release", assessment.release);
    codec::putOptional(json, "due", assessment.due);
    codec::putOptional(json, "submitted", assessment.submitted);
}

void from_json(const nlohmann::json& json, Assessment& assessment)
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

void to_json(nlohmann::json& json, const UserOverride& override)
{
    json = {{"completed", override.completed}, {"hidden", override.hidden}};
    codec::putOptional(json, "due", override.due);
}

void from_json(const nlohmann::json& json, UserOverride& override)
{
    codec::requireObject(json, "UserOverride");
    override.completed = codec::required<bool>(json, "completed");
    override.hidden = codec::required<bool>(json, "hidden");
    override.due = codec::optional<Instant>(json, "due");
}

} // namespace vantory
