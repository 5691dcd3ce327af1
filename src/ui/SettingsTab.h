// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

namespace vantory {

// A tab of the settings screens, built once. refresh() brings every control to the Store's current
// values in place: the control the student just used keeps the focus, and a screen reader hears
// only what changed. Rows that follow a list of the Store live in a SettingsPart.
class SettingsTab : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    void refresh();
    // Runs `update` now and on every refresh, in the order followed.
    void follow(std::function<void()> update);

private:
    std::vector<std::function<void()>> updates_;
};

// A part of a tab whose rows follow a list of the Store: `key` names its entries (their ids, or
// their count). The rows are built by `build` now and again whenever the key changes; otherwise
// the updates they follow bring them up to date in place. New rows take the old ones' place in
// Tab order, and the focus held inside moves to the new control of the same object name, or else
// to the nearest control outside, before the old rows go.
class SettingsPart : public QWidget {
    Q_OBJECT

public:
    // Fills content() with the rows and gives their updates to follow().
    using Build = std::function<void(SettingsPart& part)>;

    SettingsPart(std::function<QStringList()> key, Build build, QWidget* parent);

    void refresh();
    QWidget* content() const { return content_; }
    void follow(std::function<void()> update) { updates_.push_back(std::move(update)); }

private:
    void rebuild();

    std::function<QStringList()> keyOf_;
    Build build_;
    QStringList key_;
    QWidget* content_ = nullptr;
    std::vector<std::function<void()>> updates_;
};

} // namespace vantory
