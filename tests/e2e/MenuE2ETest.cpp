// The left-click menu: the volume entry dismounts and mounts again, "Mount
// All" and "Dismount All".
#include <gtest/gtest.h>

#include "TrayAppRun.h"

TEST(TrayAppVolumeMenu, ChoosingTheMountedVolumeDismountsItAndAgainMountsIt) {
  TrayAppRun App("e2evolmenu");
  const std::string Container = App.StartWithMountedVolume();
  ASSERT_FALSE(Container.empty());

  HWND MountedBalloon = TrayAppRun::VisibleBalloon();
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {1}));
  ASSERT_TRUE(App.WaitForMountCount(0));
  ASSERT_NE(TrayAppRun::WaitForBalloon("Data", MountedBalloon), nullptr);

  // The default password is still held: no prompt this time.
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {1}));
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Data /p secret\n"
                              "/q /s /d R /f\n"
                              "/q /s /v " + Container + " /l R /m label=Data /p secret\n");
}

TEST(TrayAppVolumeMenu, MountAllAndDismountAll) {
  TrayAppRun App("e2eall");
  App.WriteSettings();
  const std::string First = App.AddContainer("one.hc", "shared");
  const std::string Second = App.AddContainer("two.hc", "own");
  App.WriteVolumeConfig("[One]\r\nFile=" + First + "\r\nLetter=S\r\n"
                        "[Two]\r\nFile=" + Second + "\r\nLetter=T\r\nDefaultPass=0\r\n");
  ASSERT_TRUE(App.Start());
  EXPECT_EQ(App.WaitForInputBox(1500), nullptr);  // nothing is "Auto"

  // One, Two, separator, Dismount All, Mount All.
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {4}));
  HWND Box = App.WaitForInputBox();
  ASSERT_NE(Box, nullptr);
  EXPECT_EQ(App.InputBoxPrompt(Box), "Default Password:");
  App.AnswerInputBox(Box, "shared");
  Box = App.WaitForInputBox();
  ASSERT_NE(Box, nullptr);
  EXPECT_EQ(App.InputBoxPrompt(Box), "Two Password:");
  App.AnswerInputBox(Box, "own");
  ASSERT_TRUE(App.WaitForMountCount(2));

  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {3}));
  ASSERT_TRUE(App.WaitForMountCount(0));
  const std::string Log = App.CommandLog();
  EXPECT_NE(Log.find("/q /s /d S /f\n"), std::string::npos) << Log;
  EXPECT_NE(Log.find("/q /s /d T /f\n"), std::string::npos) << Log;
}
