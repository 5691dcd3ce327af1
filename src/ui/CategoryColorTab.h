// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SettingsTab.h"

#include <functional>
#include <string>
#include <vector>

namespace vantory {

class ReadableGroup;
class Store;
struct CategoryStyle;
struct Settings;
struct SettingsViewState;

// The colour window's category tab: the style of each category, for every course or one, a bulk
// action and the categories hidden from the status line, following the Store in place.
class CategoryColorTab : public SettingsTab {
    Q_OBJECT

public:
    // `viewChanged` asks the screen to refresh after a change of the view state alone.
    CategoryColorTab(
        Store& store, SettingsViewState& view, std::function<void()> viewChanged, QWidget* parent = nullptr);

    // The distinct categories of the enabled items in `scope` ("all" or a course id), byte order.
    static std::vector<std::string> scopedCategories(const Store& store, const std::string& scope);

    // Stores `style` for the category under `scope`. In the "all" scope the courses' own entries
    // for that category go first, so the common style really applies everywhere.
    static void setCategoryStyle(
        Settings& settings, const std::string& scope, const std::string& category, const CategoryStyle& style);

private:
    ReadableGroup* stylesGroup();
    void categoryRow(SettingsPart& part, const std::string& category);
    ReadableGroup* bulkGroup();
    ReadableGroup* hiddenGroup();
    // The categories in view and their key for a SettingsPart: the scope, then the categories.
    std::vector<std::string> categories() const;
    QStringList categoriesKey() const;

    Store& store_;
    SettingsViewState& view_;
    std::function<void()> viewChanged_;
};

} // namespace vantory
