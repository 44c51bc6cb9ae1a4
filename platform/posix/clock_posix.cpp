#include "platform/clock.h"

#include <ctime>

namespace zv::platform {

namespace {
class SystemClock : public Clock {
public:
    LocalTime localTime() override {
        time_t now = time(nullptr);
        struct tm tm {};
        localtime_r(&now, &tm);
        LocalTime t;
        t.year = tm.tm_year + 1900;
        t.month = tm.tm_mon + 1;
        t.day = tm.tm_mday;
        t.hour = tm.tm_hour;
        t.minute = tm.tm_min;
        t.second = tm.tm_sec;
        t.weekday = tm.tm_wday;
        return t;
    }
    uint64_t tickCount() override {
        struct timespec ts {};
        clock_gettime(CLOCK_BOOTTIME, &ts);
        return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec / 1000000);
    }
    int64_t epochSeconds() override { return static_cast<int64_t>(time(nullptr)); }
};
}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace zv::platform
