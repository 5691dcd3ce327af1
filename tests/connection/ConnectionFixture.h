#pragma once

#include "connection/BrevaneConnection.h"
#include "store/Store.h"

#include "support/FakeWebHost.h"
#include "support/ManualScheduler.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

namespace vantory::test {

// 2025-12-04 18:00 UTC, 10:00 in Vancouver.
inline const Instant start = instantFromSeconds(1764871200);

// A store over a fresh folder and both connections over fake pages, on a manual clock. The page
// scripts are their own names, so a fake page knows which one runs.
class ConnectionFixture : public ::testing::Test {
protected:
    using Response = FakePage::Response;

    ConnectionFixture()
    {
        store.onChange = [this] { ++changes; };
    }

    BrevaneConnection& connection(Site site)
    {
        auto& made = site == Site::canvas ? canvas_ : assessment_;
        if (!made)
            made = std::make_unique<BrevaneConnection>(store, site, host, scheduler, scripts);
        return *made;
    }

    // Starts a pass and lets it run to its end.
    void runPass(Site site)
    {
        connection(site).sync();
        scheduler.advance(std::chrono::minutes(5));
        ASSERT_FALSE(connection(site).running());
    }

    static ScriptOutcome text(const nlohmann::json& json) { return ScriptValue{ScriptValue::Kind::text, json.dump()}; }
    static ScriptOutcome text(std::string raw) { return ScriptValue{ScriptValue::Kind::text, std::move(raw)}; }
    static ScriptOutcome thrown(std::string message) { return PageError{PageError::Kind::script, std::move(message)}; }
    static ScriptOutcome notText() { return ScriptValue{}; }

    std::string error(const std::string& key) const
    {
        const auto found = store.errors().find(key);
        return found == store.errors().end() ? "" : found->second;
    }

    ManualScheduler scheduler{start};
    TemporaryFolder folder;
    SiteScope sites;
    Store store{folder / "state.json", start};
    FakeWebHost host{scheduler};
    PageScripts scripts{"courses", "extract", "canvas-courses", "canvas-assignments", "canvas-submissions"};
    int changes = 0;

private:
    std::unique_ptr<BrevaneConnection> assessment_;
    std::unique_ptr<BrevaneConnection> canvas_;
};

} // namespace vantory::test
