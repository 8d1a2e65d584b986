// First start: the "Auto" volume is mounted with the default password asked
// for once, with the exact command line, and announced.
#include <gtest/gtest.h>

#include "TrayAppRun.h"

namespace {

// One "Auto" volume "Data" on R: whose password is "secret", using the
// default password.
bool StartWithAutoVolume(TrayAppRun& App, std::string& Container) {
  App.WriteSettings();
  Container = App.AddContainer("data.hc", "secret");
  App.WriteVolumeConfig("[Data]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\n");
  return App.Start();
}

}  // namespace

TEST(TrayAppStartup, AutoVolumeIsMountedWithTheDefaultPassword) {
  TrayAppRun App("e2estart");
  std::string Container;
  ASSERT_TRUE(StartWithAutoVolume(App, Container));

  HWND Box = App.WaitForInputBox();
  ASSERT_NE(Box, nullptr);
  EXPECT_EQ(App.InputBoxPrompt(Box), "Default Password:");
  App.AnswerInputBox(Box, "secret");

  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.Mounts()[0].Letter, 'R');
  EXPECT_NE(TrayAppRun::WaitForBalloon("Data"), nullptr);
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Data /p secret\n");
}

TEST(TrayAppStartup, TrayClickWhilePromptIsOpenOpensNoMenu) {
  TrayAppRun App("e2eprompt");
  std::string Container;
  ASSERT_TRUE(StartWithAutoVolume(App, Container));
  HWND Box = App.WaitForInputBox();
  ASSERT_NE(Box, nullptr);

  App.PostTrayMouse(WM_LBUTTONUP);
  App.PostTrayMouse(WM_RBUTTONUP);
  EXPECT_EQ(App.WaitForMenu(1000), nullptr);
  App.AnswerInputBox(Box, "secret");
  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.MenuWindow(), nullptr);
}

TEST(TrayAppStartup, WrongPasswordEndsInAFailureAfterTheTimeOut) {
  TrayAppRun App("e2ewrong");
  std::string Container;
  ASSERT_TRUE(StartWithAutoVolume(App, Container));
  HWND Box = App.WaitForInputBox();
  ASSERT_NE(Box, nullptr);
  App.AnswerInputBox(Box, "wrong");
  // 200 passes of 300 ms; the balloon names the volume, nothing is mounted
  // and no second attempt is made.
  EXPECT_EQ(TrayAppRun::WaitForBalloon("Data", nullptr, 55000), nullptr);
  EXPECT_NE(TrayAppRun::WaitForBalloon("Data", nullptr, 15000), nullptr);
  EXPECT_TRUE(App.Mounts().empty());
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Data /p wrong\n");
  EXPECT_EQ(App.WaitForInputBox(500), nullptr);
}
