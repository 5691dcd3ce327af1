// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Database.h"
#include "model/Instant.h"
#include "model/Rgb.h"
#include "model/Sites.h"
#include "model/StateFile.h"
#include "model/Wording.h"
#include "model/Zone.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// A status with the reason it failed on a line under it, as the screens show a site's status.
std::string withReason(const std::string& status, const std::string& reason);

// What the student typed to reach a calendar server. The password lives only in memory and the
// desktop's secret store.
struct CalendarServerLogin {
    std::string address;
    std::string user;
    std::string password;
};

// A calendar collection that holds tasks.
struct CalendarCollection {
    std::string address;
    std::string name;

    bool operator==(const CalendarCollection&) const = default;
};

// What a check of a calendar server found.
struct CalendarServerCheck {
    bool reached = false;
    std::string text;
    std::string home; // where a new collection goes; empty when the server offers none
    std::vector<CalendarCollection> collections;
};

// The one application state: the database, the clock used for every remaining time, the sync
// flags and status texts, and the hooks through which screens ask the application for work.
// Main thread only. Every write of an observable field notifies the observers.
class Store {
public:
    enum class Field {
        db,
        now,
        brevaneSyncing,
        canvasSyncing,
        canvasNeedsLogin,
        canvasStatus,
        status,
        needsLogin,
        errors,
        courseNotices,
        storageError,
        calendarServer,
    };
    using Observer = std::function<void(Field)>;
    using Action = std::function<void()>;
    using Messages = std::map<std::string, std::string>;

    // Fixes the state file's location and loads it; nothing is saved here.
    Store(std::filesystem::path statePath, Instant now);

    // Hooks set once by the application; an absent hook makes its button do nothing.
    Action onChange;
    Action connect;
    Action connectCanvas;
    Action exportCalendar;
    Action sync;
    Action settingsWindow;
    Action colorsWindow;
    Action calendarWindow;
    // Opens the settings on the school's site addresses.
    Action schoolSitesWindow;
    // Loads a checked site address and reports whether it was reached, with a short text.
    std::function<void(Site site, const std::string& address, std::function<void(bool reached, std::string text)>)>
        checkAddress;
    // Syncs the calendar server now (after the sites' sync, a local change or a wake-up it runs by itself).
    Action syncCalendarServer;
    // Reaches a calendar server with a user and a password and lists its task collections; the
    // text says what came back (why, when it failed).
    std::function<void(const CalendarServerLogin& login, std::function<void(CalendarServerCheck)>)> checkCalendarServer;
    // Makes a task collection named "Vantory" in the home the check found; gets its address, or
    // nothing with the reason.
    std::function<void(const CalendarServerLogin& login, const std::string& home,
        std::function<void(std::optional<std::string> address, std::string text)>)>
        createCalendarCollection;
    // Keeps the password in the desktop's secret store, or for this run only where there is none;
    // the text says which. It is the password of the user and server the settings name, so they
    // are saved first.
    std::function<void(const std::string& password, std::function<void(bool kept, std::string text)>)>
        keepCalendarPassword;
    // Opens an https URL on one of the two site hosts in the user's browser.
    std::function<void(const std::string& url)> openURL;

    // Returns a token for unobserve().
    std::int64_t observe(Observer observer);
    // The same, notified before every observe()d observer: for state that other observers read.
    std::int64_t observeFirst(Observer observer);
    void unobserve(std::int64_t token);

    const Database& db() const { return db_; }
    // The settings' zone, kept in step with db().settings by every update.
    const Zone& zone() const { return zone_; }
    // The one way to change the database: applies change, normalises the settings, notifies the
    // observers once, saves and calls onChange.
    void update(const std::function<void(Database&)>& change);
    // update() of the item's override (a fresh one when it has none). Each mark that changed gets
    // now() as its change time, and while a calendar server is set the item joins the queue of
    // changes to send, in the same save, so no kill can keep the one without the other.
    void override(const Assessment& item, const std::function<void(UserOverride&)>& mutate);

    Instant now() const { return now_; }
    void setNow(Instant now);
    bool brevaneSyncing() const { return brevaneSyncing_; }
    void setBrevaneSyncing(bool syncing);
    bool canvasSyncing() const { return canvasSyncing_; }
    void setCanvasSyncing(bool syncing);
    bool canvasNeedsLogin() const { return canvasNeedsLogin_; }
    void setCanvasNeedsLogin(bool needsLogin);
    // Each site's status text with, beside a failure status, why it failed ("사이트가 연결을
    // 거부했습니다 (오류 -102)"). Every status write sets both, so a reason never outlives its status.
    const std::string& canvasStatus() const { return canvasStatus_; }
    const std::string& canvasStatusReason() const { return canvasStatusReason_; }
    void setCanvasStatus(std::string status, std::string reason = {});
    const std::string& status() const { return status_; }
    const std::string& statusReason() const { return statusReason_; }
    void setStatus(std::string status, std::string reason = {});
    // The calendar server's sync: its status text with the reason of a failure, and while tasks are
    // being sent, how many of how many.
    const std::string& calendarServerStatus() const { return calendarServerStatus_; }
    const std::string& calendarServerStatusReason() const { return calendarServerStatusReason_; }
    void setCalendarServerStatus(std::string status, std::string reason = {});
    struct Progress {
        std::int64_t done = 0;
        std::int64_t total = 0;
        bool operator==(const Progress&) const = default;
    };
    const std::optional<Progress>& calendarServerProgress() const { return calendarServerProgress_; }
    void setCalendarServerProgress(std::optional<Progress> progress);
    bool needsLogin() const { return needsLogin_; }
    void setNeedsLogin(bool needsLogin);
    const Messages& errors() const { return errors_; }
    void setErrors(Messages errors);
    const Messages& courseNotices() const { return courseNotices_; }
    void setCourseNotices(Messages notices);
    const std::optional<std::string>& storageError() const { return stateFile_.storageError(); }
    const std::filesystem::path& statePath() const { return stateFile_.path(); }

    // Derived values, recomputed on every read.
    // Items of enabled courses that the latest sync still listed, in stored order: pointers into
    // db().assessments, valid until the database next changes, since screens read thousands of
    // them and keep few.
    std::vector<const Assessment*> enabled() const;
    // The distinct categories of enabled(), in byte order.
    std::vector<std::string> categories() const;
    bool syncing() const { return brevaneSyncing_ || canvasSyncing_; }
    // The status the line speaks of: the assessment site's, or Canvas's when the school uses only
    // Canvas, or a request for the addresses when it uses neither.
    std::string lineStatus() const;
    // Whether the school uses the site and its sync needs the student's attention: a sign-in, or a
    // failed step (an entry of errors that belongs to the site).
    bool failing(Site site) const;
    // Whether a calendar server is set and its last sync failed (a failure carries its reason).
    bool calendarServerFailing() const;
    // The status of each failing site with its reason under it, the assessment site's first, then
    // the calendar server's.
    std::vector<std::string> warnings() const;
    // The calendar server's state as the screens show it: how many tasks have been sent while an
    // upload runs, else the status with its reason under it.
    std::string calendarServerText() const;
    // The sign-in of the first site the school uses (the assessment site's, which leads to the
    // addresses, when it uses none).
    const Action& siteSignIn() const;
    // Whether a site the school uses needs the student to sign in.
    bool lineNeedsLogin() const;
    // "마지막 업데이트 M/d HH:mm" of the oldest sync among enabled courses.
    std::string lastUpdateText() const;
    std::optional<Instant> due(const Assessment& item) const;
    std::string courseName(const Assessment& item) const;
    Rgb courseColor(const Assessment& item) const;
    // The urgency colour of the item's remaining time.
    Rgb color(const Assessment& item) const;

    // Opens the item's page, or its course's page, when it is https on one of the two sites.
    void open(const Assessment& item) const;

private:
    void notify(Field field);
    void save();

    Database db_;
    Zone zone_;
    Instant now_;
    bool brevaneSyncing_ = false;
    bool canvasSyncing_ = false;
    bool canvasNeedsLogin_ = false;
    std::string canvasStatus_ = std::string(wording().initialCanvasStatus);
    std::string canvasStatusReason_;
    std::string status_ = std::string(wording().initialStatus);
    std::string statusReason_;
    std::string calendarServerStatus_ = std::string(wording().calendarServerOffStatus);
    std::string calendarServerStatusReason_;
    std::optional<Progress> calendarServerProgress_;
    bool needsLogin_ = false;
    Messages errors_;
    Messages courseNotices_;
    StateFile stateFile_;
    std::map<std::int64_t, Observer> observers_;
    std::int64_t nextObserverToken_ = 0;
    std::int64_t nextFirstObserverToken_ = 0;
};

} // namespace vantory
