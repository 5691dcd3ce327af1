// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Wording.h"

#include <vector>

namespace vantory {

namespace {

constexpr Wording korean{
    .icuLocale = "ko_KR",
    .dateFormat = "M월 d일 (EEE) HH:mm z",
    .dueNow = "마감",
    .badCharacter = "주소에 쓸 수 없는 문자가 있습니다",
    .notSecure = "https 주소만 쓸 수 있습니다 (http는 이 컴퓨터의 주소만)",
    .badHost = "호스트 이름이 올바르지 않습니다",
    .badPort = "포트 번호가 올바르지 않습니다",
    .withCredentials = "주소에 사용자 이름이나 비밀번호를 넣을 수 없습니다",
    .withQuery = "주소에 ?나 # 뒷부분을 넣을 수 없습니다",
    .withPath = "경로 없이 사이트의 주소만 입력해 주세요 (예: https://canvas.school.edu)",
    .stateReadFailed = "저장된 일정을 읽지 못했습니다. 원본을 유지합니다.",
    .stateSaveFailedPrefix = "일정 저장 실패: ",
    .neverSynced = "아직 동기화하지 않았어요",
    .lastUpdate = "마지막 업데이트 {0}",
    .alarmDescription = "과제 마감",
    .exportDue = "마감: {0}",
    .calendarName = "Vantory 마감",
    .reminderBody = "마감까지 {0} 남았어요",
    .addDurations = "Vantory | 표시 항목을 추가해 주세요",
    .connectSites = "Vantory · 연결",
    .noUpcoming = "{0} | 예정된 마감 없음",
    .storageProblem = "Vantory | 일정 파일 오류",
    .itemOfCount = "{0}개 중 {1}번째 항목 · {2}",
    .tooltipDue = "마감 {0}",
    .initialStatus = "BrevaneLearn을 연결해 주세요",
    .loadedStatus = "저장된 일정 · 연결 확인 중",
    .initialCanvasStatus = "Canvas 연결 대기",
    .noSitesStatus = "학교 사이트 주소를 설정해 주세요",
    .calendarServerOffStatus = "캘린더 서버 사용 안 함",
    .calendarServerUpload = "캘린더 서버 · 할 일 보내는 중 {0}/{1}",
};

constexpr Wording english{
    .icuLocale = "en_US",
    .dateFormat = "MMM d (EEE) HH:mm z",
    .dueNow = "due",
    .badCharacter = "The address has a character addresses cannot hold",
    .notSecure = "Only https addresses (http only for this computer's own)",
    .badHost = "The host name is not valid",
    .badPort = "The port number is not valid",
    .withCredentials = "An address cannot hold a user name or password",
    .withQuery = "An address cannot hold a part after ? or #",
    .withPath = "Enter only the site's address, without a path (e.g. https://canvas.school.edu)",
    .stateReadFailed = "Could not read the saved deadlines. The original file is kept.",
    .stateSaveFailedPrefix = "Could not save deadlines: ",
    .neverSynced = "Not synced yet",
    .lastUpdate = "Last updated {0}",
    .alarmDescription = "Assignment due",
    .exportDue = "Due: {0}",
    .calendarName = "Vantory deadlines",
    .reminderBody = "{0} left until it is due",
    .addDurations = "Vantory | Add items to show",
    .connectSites = "Vantory · Connect",
    .noUpcoming = "{0} | No upcoming deadlines",
    .storageProblem = "Vantory | Deadline file error",
    .itemOfCount = "Item {1} of {0} · {2}",
    .tooltipDue = "Due {0}",
    .initialStatus = "Connect BrevaneLearn",
    .loadedStatus = "Saved deadlines · checking the connection",
    .initialCanvasStatus = "Waiting for Canvas",
    .noSitesStatus = "Set your school's site addresses",
    .calendarServerOffStatus = "Calendar server off",
    .calendarServerUpload = "Calendar server · sending tasks {0}/{1}",
};

} // namespace

const Wording& wording(Language language)
{
    return language == Language::english ? english : korean;
}

const Wording& wording()
{
    return wording(language());
}

std::string fill(std::string_view text, std::initializer_list<std::string_view> values)
{
    const std::vector<std::string_view> arguments(values);
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::size_t index = at + 2 < text.size() && text[at] == '{' && text[at + 2] == '}'
            ? static_cast<std::size_t>(text[at + 1] - '0')
            : arguments.size();
        if (index < arguments.size()) {
            result += arguments[index];
            at += 2;
        } else {
            result += text[at];
        }
    }
    return result;
}

} // namespace vantory
