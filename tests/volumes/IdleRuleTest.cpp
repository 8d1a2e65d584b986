// When an idle dismount is due, across the wrap of the tick counter.
#include <gtest/gtest.h>

#include "IdleRule.h"

TEST(IdleRule, DueAfterTheMinutesWithoutInputAcrossTheTickWrap) {
  EXPECT_EQ(IdleDismountDelay(1000, 1000, 1), 60000u);
  EXPECT_EQ(IdleDismountDelay(60999, 1000, 1), 1u);
  EXPECT_EQ(IdleDismountDelay(61000, 1000, 1), 0u);
  EXPECT_EQ(IdleDismountDelay(500000, 1000, 5), 0u);
  // The counter wrapped between the last input and now.
  EXPECT_EQ(IdleDismountDelay(20000, 0xFFFFFFFFu - 39999, 1), 0u);
  EXPECT_EQ(IdleDismountDelay(10000, 0xFFFFFFFFu - 39999, 1), 10000u);
}

TEST(IdleRule, AnInputReadAfterTheClockIsNoIdleTime) {
  EXPECT_EQ(IdleDismountDelay(1000, 1016, 1), 60000u);
  EXPECT_EQ(IdleDismountDelay(0xFFFFFFF0u, 16, 2), 120000u);
}

TEST(IdleRule, LongLimitsNeitherOverflowNorExceedATimersRange) {
  EXPECT_EQ(IdleDismountDelay(0, 0, 35791), 35791u * 60000u);
  EXPECT_EQ(IdleDismountDelay(0, 0, INT32_MAX), MaxIdleCheckDelay);
  // Idle times of more than 24.8 days cannot be told from a later input.
  EXPECT_NE(IdleDismountDelay(0x80000001u, 0, INT32_MAX), 0u);
}
