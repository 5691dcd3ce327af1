// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Assessment.h"
#include "ui/DashboardItems.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QAbstractButton;
class QLabel;
class QPushButton;
class QProgressBar;
class QStackedWidget;
class QToolButton;

namespace vantory {

class DeadlineList;
class MonthCalendar;
class Store;

// The popover's screen: the sync state of both sites and of the calendar server, the month
// calendar and the filtered, sorted deadline list with its per-item actions. Redraws on every
// change of the Store; writes only through Store::update, Store::override and the Store's hooks.
class Dashboard : public QWidget {
    Q_OBJECT

public:
    explicit Dashboard(Store& store, QWidget* parent = nullptr);
    ~Dashboard() override;

    // Set by the composition to present the edit sheet for an item.
    std::function<void(const Assessment&)> editRequested;

    DeadlineList* list() const { return list_; }
    MonthCalendar* calendar() const { return calendar_; }
    DashboardItems::Filter filter() const { return filter_; }

    void refresh();

    // Sized by its font: 440 points wide at the default font, grown with a larger one (or what its
    // contents need, if more), and as tall as its contents are at that width, the list showing a
    // few rows. Held smaller, it scrolls.
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildPrompt();
    QWidget* buildStatus();
    QWidget* buildFilters();
    QWidget* buildSort();
    void tick();
    void catchUp();
    void prepareToShow();
    void refreshStatus();
    void refreshPrompt();
    void refreshList();
    void showSyncing(bool syncing);
    void setFilter(DashboardItems::Filter filter);
    void clearSelection();

    Store& store_;
    std::int64_t observer_ = 0;
    bool stale_ = false; // the Store changed while it was hidden
    QWidget* page_ = nullptr; // everything, in a scroll area
    DashboardItems::Filter filter_ = DashboardItems::Filter::all;
    QLabel* courses_ = nullptr;
    QWidget* prompt_ = nullptr;
    QLabel* promptTitle_ = nullptr;
    QLabel* promptText_ = nullptr;
    QPushButton* promptButton_ = nullptr;
    QLabel* lastUpdate_ = nullptr;
    QLabel* assessmentStatus_ = nullptr;
    QLabel* canvasStatus_ = nullptr;
    QLabel* calendarStatus_ = nullptr;
    QLabel* storageError_ = nullptr;
    QToolButton* refreshButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    MonthCalendar* calendar_ = nullptr;
    std::array<QToolButton*, DashboardItems::filters.size()> filterButtons_{};
    QWidget* dayLine_ = nullptr;
    QLabel* dayLabel_ = nullptr;
    std::array<QToolButton*, DashboardItems::sorts.size()> sortButtons_{};
    QStackedWidget* stack_ = nullptr;
    DeadlineList* list_ = nullptr;
    QLabel* emptyIcon_ = nullptr;
    QLabel* emptyText_ = nullptr;
};

} // namespace vantory
