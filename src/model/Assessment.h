// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"
#include "model/JsonFwd.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// One row of an assessment's access-rule table. start and end are the site's texts
// ("2025-09-08 14:00:00 (PDT)"); end may be a dash.
struct AccessRule {
    double credit = 0;
    std::string start;
    std::string end;

    bool operator==(const AccessRule&) const = default;
};

// One assessment row as the extraction script returns it.
struct RawAssessment {
    std::string code;
    std::string title;
    std::string category;
    std::string availability;
    std::string score;
    std::optional<std::string> url;
    std::vector<AccessRule> rules;

    bool operator==(const RawAssessment&) const = default;
};

// The extraction script's whole result for one course page.
struct PagePayload {
    std::string courseID;
    std::string courseHeading;
    std::vector<RawAssessment> rows;

    bool operator==(const PagePayload&) const = default;
};

// One assignment row of the Canvas assignments script; due and release are ISO 8601 texts.
struct CanvasAssignment {
    std::string id;
    std::string title;
    std::string category;
    std::optional<std::string> due;
    std::optional<std::string> release;
    std::string url;

    bool operator==(const CanvasAssignment&) const = default;
};

// One stored deadline item from either site.
struct Assessment {
    std::string id;
    std::string courseID;
    std::string code;
    std::string title;
    std::string category;
    std::string availability;
    std::optional<double> score;
    std::optional<std::string> url;
    std::optional<Instant> release;
    std::optional<Instant> due;
    std::string deadlineStatus;
    std::vector<AccessRule> rules;
    Instant checkedAt{};
    std::optional<bool> submitted;
    bool missing = false;

    bool operator==(const Assessment&) const = default;

    // The short label of the category ("Quiz", "Preclass", …), or the category itself.
    std::string shortCategory() const;
};

// The user's correction of one item, keyed by the item's id. Each mark keeps when it last changed,
// so two computers sharing a calendar server can tell whose change is newer; marks made before
// there were change times have none.
struct UserOverride {
    bool completed = false;
    bool hidden = false;
    std::optional<Instant> due;
    std::optional<Instant> completedChanged;
    std::optional<Instant> hiddenChanged;
    std::optional<Instant> dueChanged;

    bool operator==(const UserOverride&) const = default;
};

void writeJson(codec::JsonWriter& writer, const AccessRule& rule);
void readJson(const codec::JsonValue& json, AccessRule& rule);
void writeJson(codec::JsonWriter& writer, const RawAssessment& row);
void readJson(const codec::JsonValue& json, RawAssessment& row);
void writeJson(codec::JsonWriter& writer, const PagePayload& payload);
void readJson(const codec::JsonValue& json, PagePayload& payload);
void readJson(const codec::JsonValue& json, CanvasAssignment& assignment);
void writeJson(codec::JsonWriter& writer, const Assessment& assessment);
void readJson(const codec::JsonValue& json, Assessment& assessment);
void writeJson(codec::JsonWriter& writer, const UserOverride& override);
void readJson(const codec::JsonValue& json, UserOverride& override);

} // namespace vantory
