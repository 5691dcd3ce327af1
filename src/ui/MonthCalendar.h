// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Instant.h"
#include "ui/DashboardItems.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QLabel;
class QToolButton;

namespace vantory {

class Store;

// The dashboard's month in the school's zone: Monday-first weeks, course dots per day, today and
// the selected day highlighted. Arrow keys move the selection by a day or a week, across months.
class MonthCalendar : public QWidget {
    Q_OBJECT

public:
    MonthCalendar(const Store& store, QWidget* parent = nullptr);

    // Re-reads the store: today, the dots and the legend.
    void refresh();
    // Follows the clock: the days change only when today does, so an idle calendar stays quiet.
    void tick();

    const DashboardItems::Month& month() const { return month_; }
    std::optional<std::int64_t> selected() const { return selected_; }
    // Changes the selection without selectionChanged (the dashboard clearing it).
    void setSelected(std::optional<std::int64_t> day);
    void showMonth(const DashboardItems::Month& month);

    // The button of a day of the displayed month (1 to days), for keyboard focus and tests.
    QWidget* dayButton(int day) const;

Q_SIGNALS:
    // The user picked a day (or "오늘").
    void selectionChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void select(std::int64_t day);
    void selectToday();
    // Counts the displayed month's marks again: only the items or the month change them.
    void recountMarks();
    void updateCells();
    void refreshLegend();

    const Store& store_;
    DashboardItems::Month month_;
    std::optional<std::int64_t> selected_;
    std::vector<DashboardItems::DayMarks> marks_; // of month_, one per day
    std::int64_t today_ = 0; // the day number the cells were drawn for
    QLabel* title_ = nullptr;
    QLabel* legend_ = nullptr;
    std::array<QWidget*, 42> cells_{};
};

} // namespace vantory
