#pragma once
// Time as the engine sees it: local calendar time, a millisecond tick count
// since boot, and seconds since the epoch. Tests and zvtype use ManualClock.

#include <cstdint>

namespace zv::platform {

struct LocalTime {
    int year = 1970, month = 1, day = 1;       // month 1..12, day 1..31
    int hour = 0, minute = 0, second = 0;
    int weekday = 4;                             // 0 = Sunday
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime localTime() = 0;
    virtual uint64_t tickCount() = 0;      // milliseconds since boot
    virtual int64_t epochSeconds() = 0;    // seconds since 1970-01-01 UTC
};

Clock& systemClock();

// A clock that stands still until told to move.
class ManualClock : public Clock {
public:
    ManualClock();
    void set(const LocalTime& t);
    void advance(uint64_t ms);
    void setTick(uint64_t ms) { tick_ = ms; }
    LocalTime localTime() override;
    uint64_t tickCount() override { return tick_; }
    int64_t epochSeconds() override;

private:
    int64_t epochMs_;     // the local time, expressed as if it were UTC
    uint64_t tick_ = 1000000;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t daysFromCivil(int y, int m, int d);
LocalTime civilFromSeconds(int64_t seconds);

}  // namespace zv::platform
