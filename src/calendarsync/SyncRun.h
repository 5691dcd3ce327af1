// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caldav/CalDavClient.h"
#include "calendar/ICalendar.h"
#include "model/CalendarServerState.h"
#include "store/Store.h"

#include <QCoroTask>
#include <QUrl>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantory {

// One run of the two-way sync between a Store and its task collection: the server's changes since
// the last run are merged in, then every item whose task is missing or out of date is written.
// The Store may change while requests are out (a site's sync, the student's marks): items are looked
// up again after every request, and a result computed from marks that have since changed is not
// stored, so the next run does it again.
class SyncRun {
public:
    SyncRun(Store& store, CalDavClient& client, std::string collection);

    // Nothing when everything went through; else the failure that stopped the run. What was done
    // before it is stored; the queue keeps what was not sent.
    QCoro::Task<std::optional<CalDavFailure>> run();

    // An upload of at least this many tasks shows its progress.
    static constexpr std::int64_t progressFrom = 10;
    // Results are stored in one save per this many tasks.
    static constexpr std::size_t batch = 50;
    // Writes tried again after the task changed on the server in between.
    static constexpr int conflictRetries = 3;

private:
    struct Remote {
        std::vector<QUrl> changed;
        std::vector<std::string> removed; // item ids whose task is gone
        std::optional<std::string> token;
        std::optional<std::string> ctag;
    };
    // What a run learnt of one item, stored only while its marks are still those it started from.
    struct Outcome {
        std::string id;
        UserOverride basis;
        std::optional<ServerTask> task; // none: the task is gone from the server
        std::optional<UserOverride> marks; // merged marks to store, when they changed
    };

    // The items to write, and the addresses of those that have a task to read first.
    struct Pending {
        std::vector<std::string> ids;
        std::vector<QUrl> existing;
    };

    void forgetOtherCollection();
    // Merges in what changed on the server since the last run.
    QCoro::Task<std::optional<CalDavFailure>> takeRemoteChanges();
    Pending pending();
    QCoro::Task<std::optional<CalDavFailure>> sendPending();
    QCoro::Task<CalDavResult<Remote>> remoteChanges();
    // The server's changes as a whole listing (an empty token or memberTags): unknown or changed
    // ETags, and the tasks the listing no longer has.
    Remote compare(const std::vector<ResourceTag>& members, bool complete) const;
    // Merges the item's marks with its task on the server and writes what is ours when it differs;
    // a write that meets a newer version reads it again and merges once more.
    QCoro::Task<std::optional<CalDavFailure>> settle(std::string id, TaskResource resource);
    // Creates the item's task (where it never was, or was deleted on the server).
    QCoro::Task<std::optional<CalDavFailure>> create(std::string id, QUrl href);
    void record(Outcome outcome);
    void flush(const std::optional<Remote>& remote = std::nullopt);
    const Assessment* item(const std::string& id) const;
    UserOverride marks(const std::string& id) const;
    std::optional<std::string> itemOf(
        const TaskResource& resource, const std::optional<ICalendar::Component>& task) const;
    QUrl hrefFor(const std::string& id) const;

    Store& store_;
    CalDavClient& client_;
    std::string collectionText_;
    QUrl collection_;
    CalendarServerState state_; // as at the start, with the run's own results
    std::map<std::string, std::string> idByHref_;
    std::set<std::string> settled_;
    std::vector<Outcome> unsaved_;
    std::vector<std::string> unqueue_;
    mutable std::map<std::string, std::string> idByUid_; // built when a task of unknown address comes
};

} // namespace vantory
