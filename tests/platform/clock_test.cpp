#include "platform/clock.h"

#include <gtest/gtest.h>

namespace zv::platform {
namespace {

TEST(Clock, CivilConversionsAgree) {
    EXPECT_EQ(0, daysFromCivil(1970, 1, 1));
    LocalTime t = civilFromSeconds(daysFromCivil(2026, 5, 7) * 86400 + 12 * 3600 + 40 * 60 + 5);
    EXPECT_EQ(2026, t.year);
    EXPECT_EQ(5, t.month);
    EXPECT_EQ(7, t.day);
    EXPECT_EQ(12, t.hour);
    EXPECT_EQ(40, t.minute);
    EXPECT_EQ(5, t.second);
    EXPECT_EQ(4, t.weekday);  // a Thursday
    LocalTime leap = civilFromSeconds(daysFromCivil(2024, 2, 29) * 86400);
    EXPECT_EQ(2, leap.month);
    EXPECT_EQ(29, leap.day);
}

TEST(Clock, ManualClockMovesOnlyWhenTold) {
    ManualClock c;
    c.set(LocalTime{2026, 12, 31, 23, 59, 59});
    uint64_t tick = c.tickCount();
    EXPECT_EQ(tick, c.tickCount());
    c.advance(1500);
    EXPECT_EQ(tick + 1500, c.tickCount());
    LocalTime t = c.localTime();
    EXPECT_EQ(2027, t.year);
    EXPECT_EQ(1, t.month);
    EXPECT_EQ(1, t.day);
    EXPECT_EQ(0, t.second);
}

}  // namespace
}  // namespace zv::platform
