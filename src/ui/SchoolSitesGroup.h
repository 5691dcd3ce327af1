// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Sites.h"
#include "ui/ReadableGroup.h"

#include <functional>

class QLineEdit;

namespace vantory {

class SettingsTab;
class Store;
struct SettingsViewState;

// "학교 사이트": the addresses of the school's two sites, each checked as it is typed and saved
// once it passes, with a button that loads it and says what came back; and the school's time zone.
// It shows the Store's values and the view state's drafts, and follows them through `tab`.
class SchoolSitesGroup : public ReadableGroup {
    Q_OBJECT

public:
    // `viewChanged` asks the screen to refresh after a change of the view state alone.
    SchoolSitesGroup(Store& store, SettingsViewState& view, std::function<void()> viewChanged, SettingsTab& tab);

private:
    // A site's address field, its check button and the notice under them.
    void addAddressRow(Site site, SettingsTab& tab);
    void saveTyped(QLineEdit* edit, Site site);
    // Checks the typed address and, once it passes, loads it and reports what came back.
    void checkTyped(QLineEdit* edit, Site site);
    void addZoneRow(SettingsTab& tab);

    Store& store_;
    SettingsViewState& view_;
    std::function<void()> viewChanged_;
};

} // namespace vantory
