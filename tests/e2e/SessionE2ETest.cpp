// Switching the user away and back: dismount only with the option on, mount
// the "Auto" volumes again with the password still held.
#include <gtest/gtest.h>

#include "TrayAppRun.h"

#include <wtsapi32.h>

TEST(TrayAppSession, ConsoleDisconnectDismountsOnlyWithTheOptionAndConnectMountsAgain) {
  TrayAppRun App("e2eswitch");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  const DWORD Session = TrayAppRun::SessionId();
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, Session + 1);
  // "Dismount All On Switch User" off, then on again.
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {2}));
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, Session);
  Sleep(1500);
  EXPECT_EQ(App.Mounts().size(), 1u);
  EXPECT_FALSE(Has(App.CommandLog(), "/d R"));

  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {2}));
  HWND MountedBalloon = TrayAppRun::VisibleBalloon();
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, Session);
  ASSERT_TRUE(App.WaitForMountCount(0));
  ASSERT_NE(TrayAppRun::WaitForBalloon("Data", MountedBalloon), nullptr);
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, Session);
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  EXPECT_EQ(App.WaitForWindow("InputBox", 300), nullptr);
}
