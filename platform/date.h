#pragma once

namespace platform {

// A date of the western calendar as the system gives it.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

} // namespace platform
