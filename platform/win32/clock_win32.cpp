#include "platform/clock.h"

#include <ctime>
#include <windows.h>

namespace zv::platform {

namespace {
class SystemClock : public Clock {
public:
    LocalTime localTime() override {
        SYSTEMTIME st{};
        GetLocalTime(&st);
        LocalTime t;
        t.year = st.wYear;
        t.month = st.wMonth;
        t.day = st.wDay;
        t.hour = st.wHour;
        t.minute = st.wMinute;
        t.second = st.wSecond;
        t.weekday = st.wDayOfWeek;
        return t;
    }
    uint64_t tickCount() override { return GetTickCount64(); }
    int64_t epochSeconds() override { return static_cast<int64_t>(time(nullptr)); }
};
}  // namespace

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace zv::platform
