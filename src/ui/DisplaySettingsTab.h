// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SettingsTab.h"

#include <functional>

namespace vantory {

class DesktopLanguage;
class ReadableGroup;
class Store;
struct Settings;

// The settings window's display tab: the language of every window (when `language` is given; it
// must outlive the tab), the line's slots, its size, alignment and transition, and a few options.
// Every other control writes through Store::update and follows the Store in place.
class DisplaySettingsTab : public SettingsTab {
    Q_OBJECT

public:
    explicit DisplaySettingsTab(Store& store, DesktopLanguage* language = nullptr, QWidget* parent = nullptr);

private:
    ReadableGroup* languageGroup(DesktopLanguage& language);
    ReadableGroup* slotsGroup();
    ReadableGroup* sizeGroup();
    ReadableGroup* optionsGroup();
    void edit(const std::function<void(Settings&)>& change);
    const Settings& settings() const;

    Store& store_;
};

} // namespace vantory
