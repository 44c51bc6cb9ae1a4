#include "platform/clock.h"

namespace zv::platform {

// Howard Hinnant's civil-calendar algorithms (public domain formulas).
int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

LocalTime civilFromSeconds(int64_t seconds) {
    int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    int64_t rem = seconds - days * 86400;
    LocalTime t;
    t.hour = static_cast<int>(rem / 3600);
    t.minute = static_cast<int>(rem / 60 % 60);
    t.second = static_cast<int>(rem % 60);
    t.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    return t;
}

ManualClock::ManualClock() { set(LocalTime{2026, 1, 1, 0, 0, 0, 4}); }

void ManualClock::set(const LocalTime& t) {
    epochMs_ = (daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 +
                t.second) *
               1000;
}

void ManualClock::advance(uint64_t ms) {
    tick_ += ms;
    epochMs_ += static_cast<int64_t>(ms);
}

LocalTime ManualClock::localTime() {
    int64_t s = epochMs_ >= 0 ? epochMs_ / 1000 : -((-epochMs_ + 999) / 1000);
    return civilFromSeconds(s);
}

int64_t ManualClock::epochSeconds() { return epochMs_ / 1000; }

}  // namespace zv::platform
