// SPDX-License-Identifier: GPL-3.0-or-later
#include "connection/PassSteps.h"

namespace vantory::PassSteps {

namespace {

Store::Messages withEntry(Store::Messages messages, const std::string& key, const std::string& text)
{
    if (text.empty())
        messages.erase(key);
    else
        messages[key] = text;
    return messages;
}

} // namespace

StepError asLogin(const StepError& error)
{
    return error.kind == StepError::Kind::load ? error : StepError::of(Failure::login);
}

void setError(Store& store, const std::string& key, const std::string& text)
{
    store.setErrors(withEntry(store.errors(), key, text));
}

void setNotice(Store& store, const std::string& key, const std::string& text)
{
    store.setCourseNotices(withEntry(store.courseNotices(), key, text));
}

} // namespace vantory::PassSteps
