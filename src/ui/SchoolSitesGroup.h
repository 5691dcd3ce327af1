#pragma once

#include "ui/ReadableGroup.h"

#include <functional>

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
};

} // namespace vantory
