// The volume timer: how long it keeps polling, and how pending work starts and stops it.
#include "VolumeControlFixture.h"

using VolumeTimerTest = VolumeControlTest;

TEST_F(VolumeTimerTest, KeepPollingTenMinutesGivesExactly2000Ticks) {
  TTCTimer& Timer = Control.Timer;
  Timer.KeepPolling(600000);
  ASSERT_TRUE(Timer.Enabled());
  // Ticks run as the window timer would run them; with a pass running (as
  // while it waits in a prompt) a tick only counts down, which keeps 2000 fast.
  int Ticks = 0;
  Host.WhileAsked = [&] {
    for (; Timer.Enabled() && Ticks < 2100; ++Ticks) Timer.OnTimer(&Timer);
  };
  Volumes.push_back({.Partition = 1, .Label = "Asks", .Auto = true});
  Control.ProcessVolumes();
  EXPECT_EQ(Ticks, 2000);
}

TEST_F(VolumeTimerTest, PendingWorkStartsAndStopsIt) {
  TTCTimer& Timer = Control.Timer;
  ASSERT_FALSE(Timer.Enabled());
  Timer.EndPending();
  EXPECT_TRUE(Timer.PendingCount == 0 && !Timer.Enabled());
  Timer.BeginPending();
  Timer.BeginPending();
  Timer.EndPending();
  EXPECT_TRUE(Timer.Enabled());
  Timer.EndPending();
  EXPECT_FALSE(Timer.Enabled());
  Timer.KeepPolling(3000);  // stopped at 0 even when RunTime is left
  Timer.BeginPending();
  Timer.EndPending();
  EXPECT_FALSE(Timer.Enabled());
}
