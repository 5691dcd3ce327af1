// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <coroutine>
#include <memory>
#include <optional>
#include <utility>

namespace vantory {

// A one-shot result that one coroutine awaits and a callback provides. Copies share the result;
// the first complete() counts, later ones are dropped. Completing resumes the waiting coroutine at
// once, on the completing call's stack.
template <typename T> class Completion {
public:
    Completion()
        : state_(std::make_shared<State>())
    {
    }

    void complete(T value) const
    {
        if (state_->value)
            return;
        state_->value = std::move(value);
        if (auto waiter = std::exchange(state_->waiter, {}))
            waiter.resume();
    }

    bool await_ready() const noexcept { return state_->value.has_value(); }
    void await_suspend(std::coroutine_handle<> coroutine) const noexcept { state_->waiter = coroutine; }
    T await_resume() const { return std::move(*state_->value); }

private:
    struct State {
        std::optional<T> value;
        std::coroutine_handle<> waiter;
    };
    std::shared_ptr<State> state_;
};

} // namespace vantory
