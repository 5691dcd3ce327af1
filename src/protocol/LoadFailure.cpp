// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/LoadFailure.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace vantory {

namespace {

// The web engine's net error numbers that the texts tell apart.
constexpr int timedOut = -7;
constexpr int networkChanged = -21;
constexpr int connectionClosed = -100;
constexpr int connectionReset = -101;
constexpr int connectionRefused = -102;
constexpr int connectionAborted = -103;
constexpr int connectionFailed = -104;
constexpr int nameNotResolved = -105;
constexpr int internetDisconnected = -106;
constexpr int addressUnreachable = -109;
constexpr int connectionTimedOut = -118;
constexpr int nameResolutionFailed = -137;
constexpr int tooManyRedirects = -310;
constexpr int unsafePort = -312;
constexpr int emptyResponse = -324;
// TLS handshake failures outside the two certificate ranges.
constexpr std::array tlsFailures{-107, -110, -112, -113, -114, -117, -123, -125, -126, -129, -134, -135};

bool within(int code, int low, int high)
{
    return code >= low && code <= high;
}

bool isTlsFailure(int code)
{
    return within(code, -299, -200) || within(code, -799, -700)
        || std::find(tlsFailures.begin(), tlsFailures.end(), code) != tlsFailures.end();
}

QString networkText(int code)
{
    if (isTlsFailure(code))
        return QCoreApplication::translate("LoadFailure", "보안 연결에 실패했습니다");
    if (within(code, -899, -800))
        return QCoreApplication::translate("LoadFailure", "사이트 주소를 찾을 수 없습니다");
    switch (code) {
    case internetDisconnected:
    case networkChanged:
        return QCoreApplication::translate("LoadFailure", "인터넷에 연결되어 있지 않습니다");
    case nameNotResolved:
    case nameResolutionFailed:
        return QCoreApplication::translate("LoadFailure", "사이트 주소를 찾을 수 없습니다");
    case connectionRefused:
        return QCoreApplication::translate("LoadFailure", "사이트가 연결을 거부했습니다");
    case timedOut:
    case connectionTimedOut:
        return QCoreApplication::translate("LoadFailure", "사이트가 응답하지 않습니다");
    case connectionClosed:
    case connectionReset:
    case connectionAborted:
    case emptyResponse:
        return QCoreApplication::translate("LoadFailure", "사이트와의 연결이 끊어졌습니다");
    case connectionFailed:
    case addressUnreachable:
        return QCoreApplication::translate("LoadFailure", "사이트에 연결할 수 없습니다");
    case unsafePort:
        return QCoreApplication::translate("LoadFailure", "이 포트로는 연결할 수 없습니다");
    case tooManyRedirects:
        return QCoreApplication::translate("LoadFailure", "사이트가 페이지를 너무 여러 번 옮겼습니다");
    default:
        return QCoreApplication::translate("LoadFailure", "페이지를 불러오지 못했습니다");
    }
}

QString failureText(const LoadFailure& failure)
{
    const QString number = QString::number(failure.code);
    switch (failure.kind) {
    case LoadFailure::Kind::network:
        return QCoreApplication::translate("LoadFailure", "%1 (오류 %2)").arg(networkText(failure.code), number);
    case LoadFailure::Kind::httpStatus:
        return QCoreApplication::translate("LoadFailure", "사이트가 오류 페이지로 답했습니다 (HTTP %1)").arg(number);
    case LoadFailure::Kind::timedOut:
        return QCoreApplication::translate(
            "LoadFailure", "사이트가 %n초 동안 응답하지 않았습니다", nullptr, failure.code);
    case LoadFailure::Kind::badAddress:
        break;
    }
    return QCoreApplication::translate("LoadFailure", "잘못된 주소입니다");
}

} // namespace

std::string loadFailureText(const LoadFailure& failure)
{
    return failureText(failure).toStdString();
}

} // namespace vantory
