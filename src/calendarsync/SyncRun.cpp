// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendarsync/SyncRun.h"

#include "calendar/CalendarFile.h"
#include "calendar/CalendarTask.h"
#include "calendar/TaskMerge.h"

#include <QCryptographicHash>

#include <algorithm>

namespace vantory {

namespace {

std::string text(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded).toStdString();
}

QUrl url(const std::string& text)
{
    return QUrl(QString::fromStdString(text));
}

// An ETag longer than the state keeps is stored as none: the task is read again next time.
std::string storable(const QString& etag)
{
    const std::string bytes = etag.toStdString();
    return bytes.size() <= CalendarServerState::maxETagBytes ? bytes : std::string{};
}

bool enabledCourse(const Settings& settings, const std::string& courseID)
{
    const Course* course = settings.course(courseID);
    return course && course->enabled;
}

} // namespace

SyncRun::SyncRun(Store& store, CalDavClient& client, std::string collection)
    : store_(store)
    , client_(client)
    , collectionText_(std::move(collection))
    , collection_(url(collectionText_))
    , state_(store.db().calendarServer.value_or(CalendarServerState{}))
{
}

QCoro::Task<std::optional<CalDavFailure>> SyncRun::run()
{
    forgetOtherCollection();
    if (std::optional<CalDavFailure> failure = co_await takeRemoteChanges())
        co_return failure;
    co_return co_await sendPending();
}

// The memory of another collection (the settings changed) says nothing of this one.
void SyncRun::forgetOtherCollection()
{
    QString prefix = collection_.toString(QUrl::FullyEncoded);
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    if (std::ranges::any_of(state_.tasks,
            [&](const auto& entry) { return !QString::fromStdString(entry.second.href).startsWith(prefix); })) {
        state_ = CalendarServerState{{}, state_.queue};
        store_.update([](Database& db) { db.calendarServer = CalendarServerState{{}, db.calendarServer->queue}; });
    }
    for (const auto& [id, task] : state_.tasks)
        idByHref_[task.href] = id;
}

QCoro::Task<std::optional<CalDavFailure>> SyncRun::takeRemoteChanges()
{
    CalDavResult<Remote> remote = co_await remoteChanges();
    if (!remote)
        co_return remote.failure();
    for (const std::string& id : remote->removed)
        record({id, marks(id), std::nullopt, std::nullopt});
    if (!remote->changed.empty()) {
        CalDavResult<MultigetAnswer> fetched = co_await client_.multiget(collection_, remote->changed);
        if (!fetched)
            co_return fetched.failure();
        for (TaskResource& resource : fetched->resources) {
            const auto task = ICalendar::parse(resource.text.toStdString());
            const std::optional<std::string> id = itemOf(resource, task);
            if (!id || !item(*id))
                continue; // another program's task, or an item this computer does not list yet
            if (auto failure = co_await settle(*id, std::move(resource))) {
                flush();
                co_return failure;
            }
        }
        for (const QUrl& missing : fetched->missing) {
            if (const auto known = idByHref_.find(text(missing)); known != idByHref_.end())
                record({known->second, marks(known->second), std::nullopt, std::nullopt});
        }
    }
    flush(*remote);
    co_return std::nullopt;
}

// Every item of an enabled course whose task is missing, out of date or has a change waiting; an
// item the sites no longer list keeps its task, cancelled.
SyncRun::Pending SyncRun::pending()
{
    Pending pending;
    const Database& db = store_.db();
    const std::set<std::string> queued(state_.queue.begin(), state_.queue.end());
    for (const Assessment& item : db.assessments) {
        const auto task = state_.tasks.find(item.id);
        const bool hasTask = task != state_.tasks.end();
        if (settled_.contains(item.id))
            continue;
        if (!enabledCourse(db.settings, item.courseID) || (item.missing && !hasTask)) {
            if (queued.contains(item.id))
                unqueue_.push_back(item.id); // never sent while it is out of the sync's reach
            continue;
        }
        if (hasTask && !queued.contains(item.id)
            && task->second.digest == CalendarTask::digest(item, db.settings, marks(item.id)))
            continue;
        if (!hasTask && state_.tasks.size() + pending.ids.size() >= CalendarServerState::maxTasks)
            continue;
        pending.ids.push_back(item.id);
        if (hasTask)
            pending.existing.push_back(url(task->second.href));
    }
    return pending;
}

QCoro::Task<std::optional<CalDavFailure>> SyncRun::sendPending()
{
    Pending pending = this->pending();
    std::map<std::string, TaskResource> current;
    if (!pending.existing.empty()) {
        CalDavResult<MultigetAnswer> fetched = co_await client_.multiget(collection_, std::move(pending.existing));
        if (!fetched)
            co_return fetched.failure();
        for (TaskResource& resource : fetched->resources) {
            const std::string href = text(resource.href);
            current.emplace(href, std::move(resource));
        }
    }
    const auto total = static_cast<std::int64_t>(pending.ids.size());
    std::int64_t done = 0;
    for (const std::string& id : pending.ids) {
        if (total >= progressFrom)
            store_.setCalendarServerProgress(Store::Progress{done++, total});
        if (!item(id))
            continue; // the sites' sync removed it meanwhile
        const auto stored = state_.tasks.find(id);
        const auto resource = stored == state_.tasks.end() ? current.end() : current.find(stored->second.href);
        std::optional<CalDavFailure> failure
            = resource != current.end() ? co_await settle(id, resource->second) : co_await create(id, hrefFor(id));
        if (failure) {
            flush();
            co_return failure;
        }
        if (unsaved_.size() >= batch)
            flush();
    }
    flush();
    co_return std::nullopt;
}

QCoro::Task<CalDavResult<SyncRun::Remote>> SyncRun::remoteChanges()
{
    QString token = QString::fromStdString(state_.syncToken.value_or(std::string{}));
    CalDavResult<SyncAnswer> answer = co_await client_.changesSince(collection_, token);
    if (answer && std::holds_alternative<SyncFallback>(*answer)
        && std::get<SyncFallback>(*answer) == SyncFallback::tokenRejected) {
        token.clear();
        answer = co_await client_.changesSince(collection_, token);
    }
    if (!answer)
        co_return answer.failure();
    if (std::holds_alternative<SyncFallback>(*answer)) {
        // No sync report: the ctag says whether anything changed, the members' ETags what.
        const CalDavResult<CollectionTags> tags = co_await client_.collectionTags(collection_);
        if (!tags)
            co_return tags.failure();
        const std::string ctag = tags->ctag.toStdString();
        if (!ctag.empty() && state_.ctag == ctag)
            co_return Remote{{}, {}, std::nullopt, ctag};
        const CalDavResult<CollectionTags> members = co_await client_.memberTags(collection_);
        if (!members)
            co_return members.failure();
        Remote remote = compare(members->members, true);
        remote.ctag = members->ctag.toStdString();
        co_return remote;
    }
    const bool complete = token.isEmpty();
    std::vector<ResourceTag> changed;
    std::vector<QUrl> removed;
    for (int round = 0;; ++round) {
        auto& changes = std::get<SyncChanges>(*answer);
        changed.insert(changed.end(), changes.changed.begin(), changes.changed.end());
        removed.insert(removed.end(), changes.removed.begin(), changes.removed.end());
        token = changes.token;
        if (!changes.truncated || round == 100)
            break;
        answer = co_await client_.changesSince(collection_, token);
        if (!answer)
            co_return answer.failure();
        if (!std::holds_alternative<SyncChanges>(*answer))
            co_return CalDavFailure{CalDavFailure::Kind::badAnswer};
    }
    Remote remote = compare(changed, complete);
    for (const QUrl& href : removed) {
        if (const auto known = idByHref_.find(text(href)); known != idByHref_.end())
            remote.removed.push_back(known->second);
    }
    const std::string bytes = token.toStdString();
    if (bytes.size() <= CalendarServerState::maxTokenBytes)
        remote.token = bytes;
    co_return remote;
}

SyncRun::Remote SyncRun::compare(const std::vector<ResourceTag>& members, bool complete) const
{
    Remote remote;
    std::set<std::string> listed;
    for (const ResourceTag& member : members) {
        const std::string href = text(member.href);
        listed.insert(href);
        const auto known = idByHref_.find(href);
        // Our own writes come back as changes with the ETag already stored.
        if (known == idByHref_.end() || state_.tasks.at(known->second).etag != member.etag.toStdString()
            || member.etag.isEmpty())
            remote.changed.push_back(member.href);
    }
    if (complete) {
        for (const auto& [href, id] : idByHref_) {
            if (!listed.contains(href))
                remote.removed.push_back(id);
        }
    }
    return remote;
}

QCoro::Task<std::optional<CalDavFailure>> SyncRun::settle(std::string id, TaskResource resource)
{
    settled_.insert(id);
    for (int attempt = 0;; ++attempt) {
        const std::optional<ICalendar::Component> server = ICalendar::parse(resource.text.toStdString());
        const Assessment* found = item(id);
        if (!found)
            co_return std::nullopt;
        const Assessment item = *found;
        const Settings settings = store_.db().settings;
        const UserOverride local = marks(id);
        if (!server)
            co_return std::nullopt; // unreadable: another program's to mend; nothing of it is lost by us
        const TaskMerge::Result merged = TaskMerge::merge(item, settings, local, *server, store_.now());
        ServerTask task{
            text(resource.href), storable(resource.etag), CalendarTask::digest(item, settings, merged.marks)};
        const std::optional<UserOverride> changedMarks
            = merged.marksChanged ? std::optional<UserOverride>(merged.marks) : std::nullopt;
        if (!merged.write) {
            record({id, local, task, changedMarks});
            co_return std::nullopt;
        }
        const QByteArray body = QByteArray::fromStdString(ICalendar::write(*merged.write));
        const CalDavResult<Written> written = co_await client_.update(resource.href, body, resource.etag);
        if (written) {
            task.etag = storable(written->etag);
            record({id, local, task, changedMarks});
            co_return std::nullopt;
        }
        if (written.failure().kind != CalDavFailure::Kind::conflict || attempt == conflictRetries)
            co_return written.failure();
        // Another client wrote in between: merge with what it wrote.
        CalDavResult<TaskResource> again = co_await client_.get(resource.href);
        if (!again && again.failure().kind == CalDavFailure::Kind::notFound)
            co_return co_await create(id, resource.href);
        if (!again)
            co_return again.failure();
        resource = std::move(*again);
    }
}

QCoro::Task<std::optional<CalDavFailure>> SyncRun::create(std::string id, QUrl href)
{
    settled_.insert(id);
    const Assessment* found = item(id);
    if (!found)
        co_return std::nullopt;
    const Assessment item = *found;
    const Settings settings = store_.db().settings;
    const UserOverride local = marks(id);
    const CalendarTask::Task task = CalendarTask::build(item, settings, local, store_.now());
    const QByteArray body = QByteArray::fromStdString(ICalendar::write(task.calendar));
    const CalDavResult<Written> written = co_await client_.create(href, body);
    if (written) {
        record({id, local, ServerTask{text(href), storable(written->etag), CalendarTask::digest(item, settings, local)},
            std::nullopt});
        co_return std::nullopt;
    }
    if (written.failure().kind != CalDavFailure::Kind::conflict)
        co_return written.failure();
    // Another computer created it first: meet its version.
    CalDavResult<TaskResource> existing = co_await client_.get(href);
    if (!existing)
        co_return existing.failure();
    co_return co_await settle(std::move(id), std::move(*existing));
}

void SyncRun::record(Outcome outcome)
{
    if (outcome.task)
        state_.tasks[outcome.id] = *outcome.task;
    else
        state_.tasks.erase(outcome.id);
    unsaved_.push_back(std::move(outcome));
}

void SyncRun::flush(const std::optional<Remote>& remote)
{
    if (unsaved_.empty() && unqueue_.empty() && !remote)
        return;
    store_.update([&](Database& db) {
        // The settings moved to another collection while the requests were out: these results
        // belong to the old one.
        if (db.settings.calendarServer() != collectionText_)
            return;
        CalendarServerState& state = db.calendarServer ? *db.calendarServer : db.calendarServer.emplace();
        for (Outcome& outcome : unsaved_) {
            const auto local = db.overrides.find(outcome.id);
            const UserOverride now = local == db.overrides.end() ? UserOverride{} : local->second;
            if (now != outcome.basis)
                continue; // the student changed it meanwhile: queued, and met again next run
            if (!outcome.task) {
                state.tasks.erase(outcome.id);
                continue;
            }
            if (outcome.task->href.size() > CalendarServerState::maxHrefBytes)
                continue;
            state.tasks[outcome.id] = *outcome.task;
            // The server now holds these marks.
            std::erase(state.queue, outcome.id);
            if (outcome.marks)
                db.overrides[outcome.id] = *outcome.marks;
        }
        for (const std::string& id : unqueue_)
            std::erase(state.queue, id);
        if (remote) {
            if (remote->token)
                state.syncToken = remote->token;
            if (remote->ctag)
                state.ctag = remote->ctag;
        }
    });
    unsaved_.clear();
    unqueue_.clear();
}

const Assessment* SyncRun::item(const std::string& id) const
{
    const auto& items = store_.db().assessments;
    const auto found = std::ranges::find(items, id, &Assessment::id);
    return found == items.end() ? nullptr : &*found;
}

UserOverride SyncRun::marks(const std::string& id) const
{
    const auto& overrides = store_.db().overrides;
    const auto found = overrides.find(id);
    return found == overrides.end() ? UserOverride{} : found->second;
}

std::optional<std::string> SyncRun::itemOf(
    const TaskResource& resource, const std::optional<ICalendar::Component>& task) const
{
    if (const auto known = idByHref_.find(text(resource.href)); known != idByHref_.end())
        return known->second;
    const ICalendar::Component* todo = task ? task->component("VTODO") : nullptr;
    const ICalendar::Property* uid = todo ? todo->property("UID") : nullptr;
    if (!uid)
        return std::nullopt;
    if (idByUid_.empty()) {
        for (const Assessment& item : store_.db().assessments)
            idByUid_.emplace(CalendarFile::uid(item.id), item.id);
    }
    const auto known = idByUid_.find(uid->value);
    return known == idByUid_.end() ? std::nullopt : std::optional(known->second);
}

// A task's address follows from its UID alone, so two computers creating the same item's task meet
// at one address (the second gets 412) instead of making two. Hex keeps it to safe characters.
QUrl SyncRun::hrefFor(const std::string& id) const
{
    if (const auto stored = state_.tasks.find(id); stored != state_.tasks.end())
        return url(stored->second.href);
    const QByteArray name
        = QCryptographicHash::hash(QByteArray::fromStdString(CalendarFile::uid(id)), QCryptographicHash::Sha1).toHex();
    return CalDavClient::memberUrl(collection_, QString::fromLatin1(name + ".ics"));
}

} // namespace vantory
