// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "connection/Failure.h"
#include "model/JsonDecoding.h"
#include "store/Store.h"

#include <string>
#include <variant>

#include "protocol/WebPage.h"

// Steps both passes share.
namespace vantory::PassSteps {

// A step's value, or why it failed.
template <typename T> using Outcome = std::variant<T, StepError>;

// The record a script's text holds: not a text is a structure failure, a throw keeps its message,
// text of another shape is a decoding error.
template <typename T> Outcome<T> decodeResult(const ScriptOutcome& outcome)
{
    if (const auto* error = std::get_if<PageError>(&outcome))
        return StepError::of(*error);
    const auto& value = std::get<ScriptValue>(outcome);
    if (value.kind != ScriptValue::Kind::text)
        return StepError::of(Failure::structure);
    try {
        return codec::decodeText<T>(value.text);
    } catch (const std::exception& error) {
        return StepError{StepError::Kind::decoding, Failure::structure, error.what()};
    }
}

// The failure of a step that ended where the site wants a sign-in: its load's own failure when the
// load failed, else the sign-in.
StepError asLogin(const StepError& error);

// Sets or, with an empty text, removes one entry of the Store's errors or course notices.
void setError(Store& store, const std::string& key, const std::string& text);
void setNotice(Store& store, const std::string& key, const std::string& text);

} // namespace vantory::PassSteps
