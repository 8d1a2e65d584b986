// First start: the "Auto" volume is mounted with the default password asked
// for once, with the exact command line, and announced.
#include <gtest/gtest.h>

#include "TrayAppRun.h"

TEST(TrayAppStartup, AutoVolumeIsMountedWithTheDefaultPassword) {
  TrayAppRun App("e2estart");
  const std::string Container = App.StartWithAutoVolume();
  ASSERT_FALSE(Container.empty());
  HWND Box = App.WaitForWindow("InputBox");
  ASSERT_NE(Box, nullptr);
  EXPECT_EQ(TrayAppRun::InputBoxPrompt(Box), "Default Password:");

  TrayAppRun::AnswerInputBox(Box, "secret");
  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.Mounts()[0].Letter, 'R');
  EXPECT_NE(TrayAppRun::WaitForBalloon("Data"), nullptr);
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Data /p secret\n");
}

TEST(TrayAppStartup, AWrongPasswordFailsOnceTheProgramHasEnded) {
  TrayAppRun App("e2ewrong");
  const std::string Container = App.StartWithAutoVolume();
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "wrong"));
  // Well within the minute a program that never ends is given; nothing is
  // mounted and no second attempt is made.
  EXPECT_NE(TrayAppRun::WaitForBalloon("Data", nullptr, 10000), nullptr);
  EXPECT_TRUE(App.Mounts().empty());
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Data /p wrong\n");
  EXPECT_EQ(App.WaitForWindow("InputBox", 500), nullptr);
}
