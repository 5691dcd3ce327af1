// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Language.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace vantory {

// The texts the Qt-free core composes, one table per language; the Qt layers translate their own
// through Qt's catalogue. A text with values holds "{0}", "{1}"… where fill() puts them, since
// English orders the words differently.
struct Wording {
    // ICU's locale for day and month names, and the date pattern shown where no other is asked for.
    const char* icuLocale;
    const char* dateFormat;

    // The remaining time once a deadline has passed.
    std::string_view dueNow;

    // Why an address cannot be used.
    std::string_view badCharacter;
    std::string_view notSecure;
    std::string_view badHost;
    std::string_view badPort;
    std::string_view withCredentials;
    std::string_view withQuery;
    std::string_view withPath;

    std::string_view stateReadFailed;
    std::string_view stateSaveFailedPrefix;

    std::string_view neverSynced;
    std::string_view lastUpdate; // {0}: when

    // The calendar file and the tasks.
    std::string_view alarmDescription;
    std::string_view exportDue; // {0}: when
    std::string_view calendarName;

    std::string_view reminderBody; // {0}: the remaining time

    // The line without an item to show, and its tooltip.
    std::string_view addDurations;
    std::string_view connectSites;
    std::string_view noUpcoming; // {0}: the course numbers
    std::string_view storageProblem;
    std::string_view itemOfCount; // {0}: the count, {1}: the position, {2}: the course
    std::string_view tooltipDue; // {0}: when

    // The Store's first statuses.
    std::string_view initialStatus;
    std::string_view loadedStatus;
    std::string_view initialCanvasStatus;
    std::string_view noSitesStatus;
    std::string_view calendarServerOffStatus;
    std::string_view calendarServerUpload; // {0}: done, {1}: all
};

// The table of the current language().
const Wording& wording();
const Wording& wording(Language language);

// text with "{i}" replaced by values[i]; a placeholder without a value stays as it is.
std::string fill(std::string_view text, std::initializer_list<std::string_view> values);

} // namespace vantory
