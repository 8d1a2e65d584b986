// Switching the user away and back: dismount with the option on, mount the
// "Auto" volumes again with the password still held.
#include <gtest/gtest.h>

#include "TrayAppRun.h"

#include <wtsapi32.h>

TEST(TrayAppSession, ConsoleDisconnectDismountsAndConnectMountsAgain) {
  TrayAppRun App("e2eswitch");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  App.PostSessionChange(WTS_CONSOLE_DISCONNECT, App.SessionId() + 1);
  Sleep(1000);
  EXPECT_EQ(App.Mounts().size(), 1u);

  HWND MountedBalloon = TrayAppRun::VisibleBalloon();
  App.PostSessionChange(WTS_CONSOLE_DISCONNECT, App.SessionId());
  ASSERT_TRUE(App.WaitForMountCount(0));
  ASSERT_NE(TrayAppRun::WaitForBalloon("Data", MountedBalloon), nullptr);
  App.PostSessionChange(WTS_CONSOLE_CONNECT, App.SessionId());
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  EXPECT_EQ(App.WaitForInputBox(300), nullptr);
}

TEST(TrayAppSession, ConsoleDisconnectKeepsVolumesWhenTheOptionIsOff) {
  TrayAppRun App("e2eswitchoff");
  ASSERT_FALSE(App.StartWithMountedVolume("DismountAllOnSwitchUser=0\r\n").empty());
  App.PostSessionChange(WTS_CONSOLE_DISCONNECT, App.SessionId());
  Sleep(1500);
  EXPECT_EQ(App.Mounts().size(), 1u);
  EXPECT_EQ(App.CommandLog().find("/d R"), std::string::npos);
}
