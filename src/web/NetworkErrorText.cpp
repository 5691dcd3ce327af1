#include "web/NetworkErrorText.h"

#include <algorithm>
#include <array>

namespace vantory {

namespace {

// Chromium's net error codes (net/base/net_error_list.h) that the texts tell apart.
constexpr int timedOut = -7;
constexpr int networkChanged = -21;
constexpr int connectionClosed = -100;
constexpr int connectionReset = -101;
constexpr int connectionRefused = -102;
constexpr int nameNotResolved = -105;
constexpr int internetDisconnected = -106;
constexpr int addressUnreachable = -109;
constexpr int connectionTimedOut = -118;
constexpr int nameResolutionFailed = -137;
constexpr int tooManyRedirects = -310;
constexpr int unsafePort = -312;
constexpr int emptyResponse = -324;
// TLS handshake failures outside the certificate range (-200 to -299).
constexpr std::array<int, 12> tlsFailures{-107, -110, -112, -113, -114, -117, -123, -125, -126, -129, -134, -135};

bool isTlsFailure(QWebEngineLoadingInfo::ErrorDomain domain, int code)
{
    return domain == QWebEngineLoadingInfo::CertificateErrorDomain || (code <= -200 && code >= -299)
        || std::find(tlsFailures.begin(), tlsFailures.end(), code) != tlsFailures.end();
}

QString plainText(QWebEngineLoadingInfo::ErrorDomain domain, int code)
{
    if (isTlsFailure(domain, code))
        return QStringLiteral("보안 연결에 실패했습니다");
    switch (code) {
    case internetDisconnected:
    case networkChanged:
        return QStringLiteral("인터넷에 연결되어 있지 않습니다");
    case nameNotResolved:
    case nameResolutionFailed:
        return QStringLiteral("사이트 주소를 찾을 수 없습니다");
    case connectionRefused:
        return QStringLiteral("사이트가 연결을 거부했습니다");
    case timedOut:
    case connectionTimedOut:
        return QStringLiteral("사이트가 응답하지 않습니다");
    case connectionClosed:
    case connectionReset:
    case emptyResponse:
        return QStringLiteral("사이트와의 연결이 끊어졌습니다");
    case addressUnreachable:
        return QStringLiteral("사이트에 연결할 수 없습니다");
    case unsafePort:
        return QStringLiteral("이 포트로는 연결할 수 없습니다");
    case tooManyRedirects:
        return QStringLiteral("사이트가 페이지를 너무 여러 번 옮겼습니다");
    default:
        return domain == QWebEngineLoadingInfo::DnsErrorDomain ? QStringLiteral("사이트 주소를 찾을 수 없습니다")
                                                               : QStringLiteral("페이지를 불러오지 못했습니다");
    }
}

} // namespace

QString networkErrorText(QWebEngineLoadingInfo::ErrorDomain domain, int code)
{
    return QStringLiteral("%1 (오류 %2)").arg(plainText(domain, code)).arg(code);
}

} // namespace vantory
