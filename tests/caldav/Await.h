// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>

#include <optional>

namespace vantory::test {

// The task's value, waited for in a nested event loop (QCoro::waitFor wants a default-constructible one).
template <typename T> T await(QCoro::Task<T>&& task)
{
    std::optional<T> value;
    QCoro::waitFor([&value](QCoro::Task<T> running) -> QCoro::Task<> { value.emplace(co_await std::move(running)); }(
                                                        std::move(task)));
    return std::move(*value);
}

} // namespace vantory::test
