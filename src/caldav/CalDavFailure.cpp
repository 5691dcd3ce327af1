#include "caldav/CalDavFailure.h"

#include <QNetworkReply>

namespace vantory {

namespace {

std::string networkText(int code)
{
    switch (static_cast<QNetworkReply::NetworkError>(code)) {
    case QNetworkReply::ConnectionRefusedError:
        return "캘린더 서버가 연결을 거부했습니다";
    case QNetworkReply::RemoteHostClosedError:
        return "캘린더 서버와의 연결이 끊어졌습니다";
    case QNetworkReply::HostNotFoundError:
        return "캘린더 서버 주소를 찾을 수 없습니다";
    case QNetworkReply::TimeoutError:
        return "캘린더 서버가 응답하지 않습니다";
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return "인터넷에 연결되어 있지 않습니다";
    default:
        return "캘린더 서버에 연결할 수 없습니다";
    }
}

} // namespace

std::string calDavFailureText(const CalDavFailure& failure)
{
    const std::string number = std::to_string(failure.code);
    const std::string status = " (HTTP " + number + ")";
    switch (failure.kind) {
    case CalDavFailure::Kind::network:
        return networkText(failure.code) + " (오류 " + number + ")";
    case CalDavFailure::Kind::timedOut:
        return "캘린더 서버가 " + number + "초 동안 응답하지 않았습니다";
    case CalDavFailure::Kind::tls:
        return "캘린더 서버와 보안 연결에 실패했습니다 (오류 " + number + ")";
    case CalDavFailure::Kind::unauthorized:
        return "사용자 이름이나 암호가 맞지 않습니다" + status;
    case CalDavFailure::Kind::forbidden:
        return "캘린더 서버가 이 작업을 허락하지 않습니다" + status;
    case CalDavFailure::Kind::notFound:
        return "캘린더 서버에 이 주소가 없습니다" + status;
    case CalDavFailure::Kind::conflict:
        return "할 일이 다른 곳에서 먼저 바뀌었습니다" + status;
    case CalDavFailure::Kind::insufficientStorage:
        return "캘린더 서버의 저장 공간이 부족합니다" + status;
    case CalDavFailure::Kind::httpStatus:
        return "캘린더 서버가 오류로 답했습니다" + status;
    case CalDavFailure::Kind::badAnswer:
        return "캘린더 서버의 답을 읽을 수 없습니다";
    case CalDavFailure::Kind::badRedirect:
        return "캘린더 서버가 안전하지 않은 주소로 옮기려 했습니다";
    case CalDavFailure::Kind::notCalendarServer:
        break;
    }
    return "이 주소에서 캘린더를 찾을 수 없습니다";
}

} // namespace vantory
