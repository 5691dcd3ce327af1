#pragma once

#include <QString>
#include <QWebEngineLoadingInfo>

namespace vantory {

// A failed load as a short Korean text for the student, with the engine's error code kept at the
// end for support: "사이트가 연결을 거부했습니다 (오류 -102)".
QString networkErrorText(QWebEngineLoadingInfo::ErrorDomain domain, int code);

} // namespace vantory
