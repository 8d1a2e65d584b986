// The left-click menu: the volume entry dismounts and mounts again, "Mount
// All" and "Dismount All".
#include <gtest/gtest.h>

#include "Files.h"
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
  const std::string Mount = "/q /s /v " + Container + " /l R /m label=Data /p secret\n";
  EXPECT_EQ(App.CommandLog(), Mount + "/q /s /d R /f\n" + Mount);
}

TEST(TrayAppVolumeMenu, MountAllAndDismountAll) {
  TrayAppRun App("e2eall");
  App.WriteSettings();
  const std::string First = App.AddContainer("one.hc", "shared");
  const std::string Second = App.AddContainer("two.hc", "own");
  WriteFileBytes(TrayAppRun::AppDataConfigPath(), "[One]\r\nFile=" + First + "\r\nLetter=S\r\n[Two]\r\nFile=" + Second +
                                                      "\r\nLetter=T\r\nDefaultPass=0\r\n");
  ASSERT_TRUE(App.Start());
  EXPECT_EQ(App.WaitForWindow("InputBox", 1500), nullptr);  // nothing is "Auto"

  // One, Two, separator, Dismount All, Mount All.
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {4}));
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "shared"));
  ASSERT_TRUE(App.AnswerPrompt("Two Password:", "own"));
  ASSERT_TRUE(App.WaitForMountCount(2));
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {3}));
  ASSERT_TRUE(App.WaitForMountCount(0));
  EXPECT_TRUE(Has(App.CommandLog(), "/q /s /d S /f\n") && Has(App.CommandLog(), "/q /s /d T /f\n")) << App.CommandLog();
}
