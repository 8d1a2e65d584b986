// The volume timer: how long it keeps polling, and how pending work starts and stops it.
#include "VolumeControlFixture.h"

using VolumeTimerTest = VolumeControlTest;

TEST_F(VolumeTimerTest, KeepPollingTenMinutesGivesExactly2000Ticks) {
  TTCTimer* Timer = KeepPolling(600000);
  ASSERT_TRUE(Timer == VolumeTimer && Timer->Enabled());
  // Ticks run as the window timer would run them; with a pass running (as
  // while it waits in a dialog) a tick only counts down, which keeps 2000 fast.
  AppFlags |= afBusy;
  int Ticks = 0;
  for (; Timer->Enabled() && Ticks < 2100; ++Ticks) Timer->OnTimer(Timer);
  EXPECT_EQ(Ticks, 2000);
}

TEST_F(VolumeTimerTest, KeepPollingZeroCreatesItStoppedAndPendingWorkStartsAndStopsIt) {
  TTCTimer* Timer = KeepPolling(0);
  ASSERT_TRUE(Timer && !Timer->Enabled());
  EndPending();
  EXPECT_TRUE(PendingCount == 0 && !Timer->Enabled());
  BeginPending();
  BeginPending();
  EndPending();
  EXPECT_TRUE(Timer->Enabled());
  EndPending();
  EXPECT_FALSE(Timer->Enabled());
  KeepPolling(3000);  // stopped at 0 even when RunTime is left
  BeginPending();
  EndPending();
  EXPECT_FALSE(VolumeTimer->Enabled());
  App.reset();  // inert without the application
  BeginPending();
  EXPECT_EQ(PendingCount, 0);
}
