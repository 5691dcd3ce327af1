#pragma once

#include <QStringList>

class QSettings;

namespace vantory::StripPreference {

// Whether the status strip shows beside the tray icon. "--tray-only" turns it off and
// "--with-strip" back on (the last of them wins); the choice is kept in `settings`, so later
// launches without either option keep it. Shown unless turned off.
bool stripWanted(const QStringList& arguments, QSettings& settings);

} // namespace vantory::StripPreference
