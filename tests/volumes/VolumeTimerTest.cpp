// The volume timer: how long it keeps polling, and how pending work starts
// and stops it.
#include "VolumeControlFixture.h"

namespace {

using VolumeTimerTest = VolumeControlTest;

TEST_F(VolumeTimerTest, KeepPollingTenMinutesGivesExactly2000Ticks) {
  TTCTimer* Timer = KeepPolling(600000);
  ASSERT_EQ(Timer, VolumeTimer);
  EXPECT_TRUE(Timer->Enabled());
  EXPECT_EQ(Timer->Interval, 300u);
  // Each tick is run as the window timer would run it. With a pass running
  // (as while it waits in a dialog) a tick only counts down and re-reads
  // nothing, which keeps 2000 of them fast.
  int Refreshes = 0;
  RebuildMenusHook = [&] { ++Refreshes; };
  AppFlags |= afBusy;
  int Ticks = 0;
  for (; Timer->Enabled() && Ticks < 2100; ++Ticks) Timer->OnTimer(Timer);
  EXPECT_EQ(Ticks, 2000);
  EXPECT_EQ(Timer->RunTime, 0u);
  EXPECT_EQ(Refreshes, 0);
  // A full tick: the first refresh of a test always reports a change.
  AppFlags &= uint8_t(~afBusy);
  Timer->OnTimer(Timer);
  EXPECT_EQ(Refreshes, 1);
  EXPECT_FALSE(Timer->Enabled());
}

TEST_F(VolumeTimerTest, KeepPollingZeroCreatesItStoppedAndSmallerValuesChangeNothing) {
  TTCTimer* Timer = KeepPolling(0);
  ASSERT_NE(Timer, nullptr);
  EXPECT_FALSE(Timer->Enabled());
  EXPECT_EQ(KeepPolling(5000), Timer);
  EXPECT_TRUE(Timer->Enabled());
  KeepPolling(1000);
  EXPECT_EQ(Timer->RunTime, 5000u);
}

TEST_F(VolumeTimerTest, PendingWorkStartsAndStopsTheTimer) {
  EndPending();
  EXPECT_EQ(PendingCount, 0);
  ASSERT_NE(VolumeTimer, nullptr);
  EXPECT_FALSE(VolumeTimer->Enabled());
  BeginPending();
  BeginPending();
  EXPECT_EQ(PendingCount, 2);
  VolumeTimer->OnTimer(VolumeTimer);  // a tick keeps it running while work is pending
  EndPending();
  EXPECT_TRUE(VolumeTimer->Enabled());
  EndPending();
  EXPECT_FALSE(VolumeTimer->Enabled());
  // Stopped at 0 even when RunTime is left.
  KeepPolling(3000);
  BeginPending();
  EndPending();
  EXPECT_FALSE(VolumeTimer->Enabled());

  // Freed with the application, and inert without it.
  App.reset();
  EXPECT_EQ(VolumeTimer, nullptr);
  BeginPending();
  EXPECT_EQ(PendingCount, 0);
  EXPECT_EQ(VolumeTimer, nullptr);
}

}  // namespace
