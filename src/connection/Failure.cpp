// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/Failure.h"

#include <QCoreApplication>

namespace vantory {

std::string description(Failure failure)
{
    switch (failure) {
    case Failure::login:
        return QCoreApplication::translate("Failure", "BrevaneLearn 로그인이 필요해요").toStdString();
    case Failure::timeout:
        return QCoreApplication::translate("Failure", "응답 시간이 초과됐어요. 기존 일정은 유지됩니다.").toStdString();
    case Failure::structure:
        break;
    case Failure::wrongCourse:
        return QCoreApplication::translate("Failure", "과목 정보가 일치하지 않아요. 기존 일정은 유지됩니다.")
            .toStdString();
    }
    return QCoreApplication::translate("Failure", "페이지 형식을 읽지 못했어요. 기존 일정은 유지됩니다.").toStdString();
}

StepError StepError::of(const PageError& error)
{
    switch (error.kind) {
    case PageError::Kind::terminated:
        return {Kind::terminated};
    case PageError::Kind::script:
        return {Kind::script, Failure::structure, error.message};
    case PageError::Kind::cancelled:
    case PageError::Kind::network:
        break;
    }
    return {Kind::load, Failure::structure, {}, error.load};
}

std::string reason(const StepError& error)
{
    switch (error.kind) {
    case StepError::Kind::load:
        return loadFailureText(error.load);
    case StepError::Kind::terminated:
        return QCoreApplication::translate("Failure", "페이지를 처리하던 웹 엔진이 멈췄습니다").toStdString();
    case StepError::Kind::script:
        return QCoreApplication::translate("Failure", "페이지를 읽는 스크립트가 실패했습니다").toStdString();
    case StepError::Kind::decoding:
        break;
    case StepError::Kind::failure:
        switch (error.failure) {
        case Failure::login:
            return QCoreApplication::translate("Failure", "사이트가 로그인 페이지로 보냈습니다").toStdString();
        case Failure::timeout:
            return QCoreApplication::translate("Failure", "페이지를 여는 데 너무 오래 걸렸습니다").toStdString();
        case Failure::wrongCourse:
            return QCoreApplication::translate("Failure", "다른 과목의 페이지가 열렸습니다").toStdString();
        case Failure::structure:
            break;
        }
        break;
    }
    return QCoreApplication::translate("Failure", "페이지 형식을 알아볼 수 없습니다").toStdString();
}

} // namespace vantory
