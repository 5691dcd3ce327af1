// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "model/Instant.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace vantory {

class Store;

// What the export screen selects; the defaults are its first state.
struct ExportChoices {
    std::string courseID = "all"; // "all" or a course id
    bool futureOnly = true;
    bool includeCompleted = false;
    std::int64_t alarm = 0; // minutes before the deadline; 0 is none
};

// Chooses which deadlines go into an iCalendar file, with an optional reminder, and saves it.
// The choices live as long as the screen (its window is reused), the selection is recomputed from
// the Store whenever it is needed. It follows the Store while it shows and catches up when shown.
class ExportScreen : public QWidget {
    Q_OBJECT

public:
    using Clock = std::function<Instant()>;
    // Asks for the file to write; an empty text means the user cancelled.
    using PathChooser = std::function<QString(QWidget* parent)>;
    using Choices = ExportChoices;

    static constexpr const char* proposedName = "Vantory-deadlines.ics";

    // store must outlive the screen. The clock decides which deadlines still lie ahead.
    ExportScreen(Store& store, Choices choices = {}, QWidget* parent = nullptr, Clock clock = systemClock);
    ~ExportScreen() override;

    // The deadlines the current choices select, earliest effective deadline first.
    std::vector<Assessment> rows() const;
    // Asks for a file and writes the export there atomically, as UTF-8.
    void save();

    const Choices& choices() const { return choices_; }
    const QString& result() const { return result_; }
    void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }

    QComboBox* courseMenu() const { return course_; }
    QCheckBox* futureOnlySwitch() const { return futureOnly_; }
    QCheckBox* includeCompletedSwitch() const { return includeCompleted_; }
    QComboBox* alarmMenu() const { return alarm_; }
    QLabel* countLabel() const { return count_; }
    QPushButton* saveButton() const { return save_; }

    static Instant systemClock();

    // As wide as its rows need and 480 points at the least, as tall as its text then takes and 390
    // points at the least, both grown with the font.
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QHBoxLayout* titleRow();
    // The course, the two filters and the alarm.
    void addChoices(QVBoxLayout* layout);
    void addNotes(QVBoxLayout* layout);
    // The result of the last save beside the save button.
    QHBoxLayout* saveRow();
    void fillCourses();
    void refresh();
    QString askForPath();

    Store& store_;
    Choices choices_;
    Clock clock_;
    PathChooser chooser_;
    QString result_;
    std::int64_t observer_;
    bool stale_ = false;
    QComboBox* course_;
    QCheckBox* futureOnly_;
    QCheckBox* includeCompleted_;
    QComboBox* alarm_;
    QLabel* count_;
    QLabel* resultLabel_;
    QPushButton* save_;
};

} // namespace vantory
