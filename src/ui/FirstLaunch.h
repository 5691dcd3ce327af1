// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace vantory {

class Store;

// Where a launch without deadlines leads the student: to the school's site addresses while no site
// has one, else to the sign-in of the first site in use; an address saved later leads on to its
// site's sign-in. Lives for the whole run.
class FirstLaunch {
public:
    FirstLaunch(Store& store, std::function<void()> showSchoolSites);
    ~FirstLaunch();
    FirstLaunch(const FirstLaunch&) = delete;
    FirstLaunch& operator=(const FirstLaunch&) = delete;

    // `signInAsked`: the launch asked for the sign-in even with deadlines stored ("--login").
    void start(bool signInAsked);

private:
    void signIn();

    Store& store_;
    std::function<void()> showSchoolSites_;
    std::int64_t observer_ = -1;
};

} // namespace vantory
