// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Store.h"

#include "engine/Engine.h"
#include "model/Sites.h"
#include "model/Wording.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <set>

namespace vantory {

std::string withReason(const std::string& status, const std::string& reason)
{
    return reason.empty() ? status : status + "\n" + reason;
}

Store::Store(std::filesystem::path statePath, Instant now)
    : now_(now)
    , stateFile_(std::move(statePath))
{
    if (auto loaded = stateFile_.load()) {
        db_ = std::move(*loaded);
        status_ = std::string(wording().loadedStatus);
    }
    zone_ = db_.settings.zone();
}

std::int64_t Store::observe(Observer observer)
{
    observers_.emplace(nextObserverToken_, std::move(observer));
    return nextObserverToken_++;
}

std::int64_t Store::observeFirst(Observer observer)
{
    observers_.emplace(--nextFirstObserverToken_, std::move(observer));
    return nextFirstObserverToken_;
}

void Store::unobserve(std::int64_t token)
{
    observers_.erase(token);
}

void Store::notify(Field field)
{
    // A copy, so an observer may unobserve itself while being notified.
    const auto observers = observers_;
    for (const auto& [token, observer] : observers)
        observer(field);
}

void Store::save()
{
    const bool wasHealthy = !storageError();
    stateFile_.save(db_);
    if (wasHealthy && storageError())
        notify(Field::storageError);
}

void Store::update(const std::function<void(Database&)>& change)
{
    change(db_);
    db_.settings.normalize();
    zone_ = db_.settings.zone();
    notify(Field::db);
    save();
    if (onChange)
        onChange();
}

void Store::override(const Assessment& item, const std::function<void(UserOverride&)>& mutate)
{
    update([&](Database& db) {
        UserOverride& marks = db.overrides[item.id];
        const UserOverride before = marks;
        mutate(marks);
        bool changed = false;
        const auto stamp = [&](bool markChanged, std::optional<Instant>& time) {
            if (markChanged)
                time = now_;
            changed = changed || markChanged;
        };
        stamp(marks.completed != before.completed, marks.completedChanged);
        stamp(marks.hidden != before.hidden, marks.hiddenChanged);
        stamp(marks.due != before.due, marks.dueChanged);
        if (changed && !db.settings.calendarServer().empty()) {
            if (!db.calendarServer)
                db.calendarServer.emplace();
            db.calendarServer->enqueue(item.id);
        }
    });
}

void Store::setNow(Instant now)
{
    now_ = now;
    notify(Field::now);
}

void Store::setBrevaneSyncing(bool syncing)
{
    brevaneSyncing_ = syncing;
    notify(Field::brevaneSyncing);
}

void Store::setCanvasSyncing(bool syncing)
{
    canvasSyncing_ = syncing;
    notify(Field::canvasSyncing);
}

void Store::setCanvasNeedsLogin(bool needsLogin)
{
    canvasNeedsLogin_ = needsLogin;
    notify(Field::canvasNeedsLogin);
}

void Store::setCanvasStatus(std::string status, std::string reason)
{
    canvasStatus_ = std::move(status);
    canvasStatusReason_ = std::move(reason);
    notify(Field::canvasStatus);
}

void Store::setCalendarServerStatus(std::string status, std::string reason)
{
    calendarServerStatus_ = std::move(status);
    calendarServerStatusReason_ = std::move(reason);
    notify(Field::calendarServer);
}

void Store::setCalendarServerProgress(std::optional<Progress> progress)
{
    if (progress == calendarServerProgress_)
        return;
    calendarServerProgress_ = progress;
    notify(Field::calendarServer);
}

void Store::setStatus(std::string status, std::string reason)
{
    status_ = std::move(status);
    statusReason_ = std::move(reason);
    notify(Field::status);
}

void Store::setNeedsLogin(bool needsLogin)
{
    needsLogin_ = needsLogin;
    notify(Field::needsLogin);
}

void Store::setErrors(Messages errors)
{
    errors_ = std::move(errors);
    notify(Field::errors);
}

void Store::setCourseNotices(Messages notices)
{
    courseNotices_ = std::move(notices);
    notify(Field::courseNotices);
}

std::vector<const Assessment*> Store::enabled() const
{
    std::set<std::string> enabledCourses;
    for (const Course& course : db_.settings.courses) {
        if (course.enabled)
            enabledCourses.insert(course.id);
    }
    std::vector<const Assessment*> items;
    for (const Assessment& item : db_.assessments) {
        if (!item.missing && enabledCourses.contains(item.courseID))
            items.push_back(&item);
    }
    return items;
}

std::vector<std::string> Store::categories() const
{
    std::set<std::string> categories;
    for (const Assessment* item : enabled())
        categories.insert(item->category);
    return {categories.begin(), categories.end()};
}

std::string Store::lineStatus() const
{
    const Sites& sites = Sites::current();
    if (sites.uses(Site::assessment))
        return status_;
    return sites.uses(Site::canvas) ? canvasStatus_ : std::string(wording().noSitesStatus);
}

bool Store::failing(Site site) const
{
    const bool canvas = site == Site::canvas;
    if (!Sites::current().uses(site) || (canvas && db_.settings.canvasEnabled == false))
        return false;
    return (canvas ? canvasNeedsLogin_ : needsLogin_)
        || std::any_of(errors_.begin(), errors_.end(),
            [canvas](const auto& entry) { return entry.first.starts_with(Course::canvasPrefix) == canvas; });
}

std::vector<std::string> Store::warnings() const
{
    std::vector<std::string> warnings;
    if (failing(Site::assessment))
        warnings.push_back(withReason(status_, statusReason_));
    if (failing(Site::canvas))
        warnings.push_back(withReason(canvasStatus_, canvasStatusReason_));
    if (calendarServerFailing())
        warnings.push_back(withReason(calendarServerStatus_, calendarServerStatusReason_));
    return warnings;
}

bool Store::calendarServerFailing() const
{
    return !calendarServerStatusReason_.empty() && !db_.settings.calendarServer().empty();
}

std::string Store::calendarServerText() const
{
    if (calendarServerProgress_)
        return fill(wording().calendarServerUpload,
            {std::to_string(calendarServerProgress_->done), std::to_string(calendarServerProgress_->total)});
    return withReason(calendarServerStatus_, calendarServerStatusReason_);
}

const Store::Action& Store::siteSignIn() const
{
    const Sites& sites = Sites::current();
    return sites.uses(Site::assessment) || !sites.uses(Site::canvas) ? connect : connectCanvas;
}

bool Store::lineNeedsLogin() const
{
    const Sites& sites = Sites::current();
    return sites.uses(Site::assessment) ? needsLogin_ : sites.uses(Site::canvas) && canvasNeedsLogin_;
}

std::string Store::lastUpdateText() const
{
    return Engine::lastUpdateText(db_);
}

std::optional<Instant> Store::due(const Assessment& item) const
{
    return Engine::due(item, db_);
}

std::string Store::courseName(const Assessment& item) const
{
    return db_.settings.courseName(item.courseID);
}

Rgb Store::courseColor(const Assessment& item) const
{
    const Course* found = db_.settings.course(item.courseID);
    return Rgb::fromHex(found ? db_.settings.coloredCourse(*found).colorHex : Course::defaultHex);
}

Rgb Store::color(const Assessment& item) const
{
    const auto itemDue = due(item);
    const double seconds
        = itemDue ? secondsSince1970(*itemDue) - secondsSince1970(now_) : std::numeric_limits<double>::max();
    return Rgb::fromHex(Engine::hex(seconds, db_.settings));
}

void Store::open(const Assessment& item) const
{
    // A stored link that is no URL at all (blank, or with white space) falls back to the course page.
    std::string url = item.url.value_or("");
    if (url.empty() || std::any_of(url.begin(), url.end(), [](unsigned char c) { return std::isspace(c); })) {
        const Course* found = db_.settings.course(item.courseID);
        if (!found)
            return;
        url = found->url();
    }
    if (openURL && Sites::current().isSiteURL(url))
        openURL(url);
}

} // namespace vantory
