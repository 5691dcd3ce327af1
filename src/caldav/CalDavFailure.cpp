// SPDX-License-Identifier: GPL-3.0-or-later
#include "caldav/CalDavFailure.h"

#include <QCoreApplication>
#include <QNetworkReply>

namespace vantory {

namespace {

QString networkText(int code)
{
    switch (static_cast<QNetworkReply::NetworkError>(code)) {
    case QNetworkReply::ConnectionRefusedError:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버가 연결을 거부했습니다");
    case QNetworkReply::RemoteHostClosedError:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버와의 연결이 끊어졌습니다");
    case QNetworkReply::HostNotFoundError:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버 주소를 찾을 수 없습니다");
    case QNetworkReply::TimeoutError:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버가 응답하지 않습니다");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QCoreApplication::translate("CalDavFailure", "인터넷에 연결되어 있지 않습니다");
    default:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버에 연결할 수 없습니다");
    }
}

QString failureText(const CalDavFailure& failure)
{
    const QString number = QString::number(failure.code);
    switch (failure.kind) {
    case CalDavFailure::Kind::network:
        return QCoreApplication::translate("CalDavFailure", "%1 (오류 %2)").arg(networkText(failure.code), number);
    case CalDavFailure::Kind::timedOut:
        return QCoreApplication::translate(
            "CalDavFailure", "캘린더 서버가 %n초 동안 응답하지 않았습니다", nullptr, failure.code);
    case CalDavFailure::Kind::tls:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버와 보안 연결에 실패했습니다 (오류 %1)")
            .arg(number);
    case CalDavFailure::Kind::unauthorized:
        return QCoreApplication::translate("CalDavFailure", "사용자 이름이나 암호가 맞지 않습니다 (HTTP %1)")
            .arg(number);
    case CalDavFailure::Kind::forbidden:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버가 이 작업을 허락하지 않습니다 (HTTP %1)")
            .arg(number);
    case CalDavFailure::Kind::notFound:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버에 이 주소가 없습니다 (HTTP %1)").arg(number);
    case CalDavFailure::Kind::conflict:
        return QCoreApplication::translate("CalDavFailure", "할 일이 다른 곳에서 먼저 바뀌었습니다 (HTTP %1)")
            .arg(number);
    case CalDavFailure::Kind::insufficientStorage:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버의 저장 공간이 부족합니다 (HTTP %1)")
            .arg(number);
    case CalDavFailure::Kind::httpStatus:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버가 오류로 답했습니다 (HTTP %1)").arg(number);
    case CalDavFailure::Kind::badAnswer:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버의 답을 읽을 수 없습니다");
    case CalDavFailure::Kind::badRedirect:
        return QCoreApplication::translate("CalDavFailure", "캘린더 서버가 안전하지 않은 주소로 옮기려 했습니다");
    case CalDavFailure::Kind::notCalendarServer:
        break;
    }
    return QCoreApplication::translate("CalDavFailure", "이 주소에서 캘린더를 찾을 수 없습니다");
}

} // namespace

std::string calDavFailureText(const CalDavFailure& failure)
{
    return failureText(failure).toStdString();
}

} // namespace vantory
