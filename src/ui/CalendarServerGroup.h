// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/Store.h"
#include "ui/ReadableGroup.h"

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace vantory {

class SettingsPart;
class SettingsTab;

// "캘린더 서버": the address, user name and password of the student's calendar server, a check that
// lists its task collections, picking one (or making "Vantory") and turning the sync off, with the
// sync's state under it. The password stays in its field until it is handed to the Store's
// keepCalendarPassword; nothing here writes it anywhere else.
class CalendarServerGroup : public ReadableGroup {
    Q_OBJECT

public:
    // `viewChanged` asks the screen to refresh after a change of this group's own state.
    CalendarServerGroup(Store& store, std::function<void()> viewChanged, SettingsTab& tab);

private:
    void addServerRows(SettingsTab& tab);
    void addCollectionRows(SettingsTab& tab);
    void addSyncRows(SettingsTab& tab);
    void checkAddress();
    void checkServer();
    void createCollection();
    void choose(const CalendarCollection& collection);
    void turnOff();
    void collectionRows(SettingsPart& part);
    void say(QString text, bool warning);

    Store& store_;
    std::function<void()> viewChanged_;
    QLineEdit* address_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* check_ = nullptr;
    // Between the student's actions and the Store's answers.
    QString problem_; // the address's own
    bool checking_ = false;
    bool creating_ = false;
    std::optional<CalendarServerCheck> found_;
    QString note_; // what the last pick, creation or turning off said
    bool noteWarns_ = false;
};

} // namespace vantory
