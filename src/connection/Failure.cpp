#include "connection/Failure.h"

namespace vantory {

std::string description(Failure failure)
{
    switch (failure) {
    case Failure::login:
        return "BrevaneLearn 로그인이 필요해요";
    case Failure::timeout:
        return "응답 시간이 초과됐어요. 기존 일정은 유지됩니다.";
    case Failure::structure:
        break;
    case Failure::wrongCourse:
        return "과목 정보가 일치하지 않아요. 기존 일정은 유지됩니다.";
    }
    return "페이지 형식을 읽지 못했어요. 기존 일정은 유지됩니다.";
}

StepError StepError::of(const PageError& error)
{
    switch (error.kind) {
    case PageError::Kind::terminated:
        return of(Failure::structure);
    case PageError::Kind::script:
        return {Kind::script, Failure::structure, error.message};
    case PageError::Kind::cancelled:
    case PageError::Kind::network:
        break;
    }
    return {Kind::platform, Failure::structure, error.message};
}

} // namespace vantory
