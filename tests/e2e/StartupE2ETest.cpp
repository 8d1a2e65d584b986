// First start: the "Auto" volume's default password is asked for once, at
// 150% in front with the focus in the field, typed and Enter; the volume is
// mounted with the exact command line and announced. A wrong password fails
// once the program has ended.
#include <gtest/gtest.h>

#include "TrayAppRun.h"
#include "WineDesktop.h"

TEST(TrayAppStartup, AtOneHundredFiftyPercentTheDefaultPasswordTypedAndEnterMountTheAutoVolume) {
  const SessionDpi Session(144);
  TrayAppRun App("e2estart");
  const std::string Container = App.StartWithAutoVolume();
  ASSERT_FALSE(Container.empty());
  const HWND Box = App.WaitForPrompt("Default Password:");
  ASSERT_TRUE(Box);
  EXPECT_EQ(GetForegroundWindow(), Box);
  EXPECT_TRUE(GetWindowLongPtrW(Box, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT Client{};
  GetClientRect(Box, &Client);
  for (HWND Control = GetWindow(Box, GW_CHILD); Control; Control = GetWindow(Control, GW_HWNDNEXT)) {
    RECT Rect{};
    GetWindowRect(Control, &Rect);
    MapWindowPoints(nullptr, Box, reinterpret_cast<POINT*>(&Rect), 2);
    EXPECT_TRUE(Rect.left >= 0 && Rect.top >= 0 && Rect.right <= Client.right && Rect.bottom <= Client.bottom)
        << "control " << GetDlgCtrlID(Control) << " outside the client area";
  }

  ASSERT_TRUE(App.TypeIntoPrompt("Default Password:", "secret"));
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
