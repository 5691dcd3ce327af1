// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SettingsTab.h"

#include <functional>
#include <string>

class QGridLayout;
class QLayout;

namespace vantory {

class ColorWell;
class ReadableGroup;
class Store;
struct PairedColorRule;
struct Settings;

// The colour window's time tab: the remaining-time rules, each with a dot and a time colour, and
// the colours beyond them. Every control writes through Store::update and follows the Store in place.
class TimeColorTab : public SettingsTab {
    Q_OBJECT

public:
    explicit TimeColorTab(Store& store, QWidget* parent = nullptr);

private:
    ReadableGroup* linkGroup();
    ReadableGroup* rulesGroup();
    void addRuleRow(SettingsPart& part, QGridLayout& grid, std::size_t index);
    QLayout* otherColorsRow(QWidget* group);
    QWidget* ruleActions(QWidget* group);

    bool linked() const;
    // The rule at `index` as the tab last showed it, if it still exists.
    const PairedColorRule* rule(std::size_t index) const;
    void edit(const std::function<void(Settings&)>& change);
    void editRule(const std::string& id, const std::function<void(PairedColorRule&)>& change);
    ColorWell* well(const QString& objectName, std::function<void(const std::string&)> commit, QWidget* parent);

    Store& store_;
};

} // namespace vantory
