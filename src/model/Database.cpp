#include "model/Database.h"

#include "model/JsonSupport.h"

namespace vantory {

void to_json(nlohmann::json& json, const Database& database)
{
    nlohmann::json lastSync = nlohmann::json::object();
    for (const auto& [courseID, instant] : database.lastSync)
        lastSync[courseID] = codec::encode(instant);
    json = {{"version", database.version},
            {"assessments", database.assessments},
            {"overrides", nlohmann::json(database.overrides)},
            {"settings", database.settings},
            {"lastSync", std::move(lastSync)}};
}

void from_json(const nlohmann::json& json, Database& database)
{
    codec::requireObject(json, "Database");
    database.version = codec::required<std::int64_t>(json, "version");
    database.assessments = codec::required<std::vector<Assessment>>(json, "assessments");
    database.overrides = codec::required<std::map<std::string, UserOverride>>(json, "overrides");
    database.settings = codec::required<Settings>(json, "settings");
    database.lastSync = codec::required<std::map<std::string, Instant>>(json, "lastSync");
}

} // namespace vantory
