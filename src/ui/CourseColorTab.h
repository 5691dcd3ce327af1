// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SettingsTab.h"

namespace vantory {

class Store;

// The colour window's course tab: a common colour for every course, or each course's calendar
// and status-line colours. Every control writes through Store::update and follows the Store in place.
class CourseColorTab : public SettingsTab {
    Q_OBJECT

public:
    explicit CourseColorTab(Store& store, QWidget* parent = nullptr);

private:
    QWidget* uniformGroup();
    void courseGroups(SettingsPart& part);

    Store& store_;
};

} // namespace vantory
