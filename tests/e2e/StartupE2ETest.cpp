// First start: the "Auto" volume's default password is asked for at 150% in
// front with the focus in the field, typed and Enter; a wrong one is asked
// again as soon as the program has ended, well within the minute a program
// that never ends is given, and is never saved. The volume is mounted with
// the exact command line; a letter taken is told.
#include <gtest/gtest.h>

#include "Files.h"
#include "PasswordRecord.h"
#include "TrayAppRun.h"
#include "WineDesktop.h"

TEST(TrayAppStartup, AtOneHundredFiftyPercentATypedWrongDefaultPasswordIsAskedAgainAtOnceAndNeverSaved) {
  const SessionDpi Session(144);
  TrayAppRun App("e2estart");
  const std::string Container = App.StartWithAutoVolume("SavePass=1\r\nRememberPassMin=5\r\n");
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

  ASSERT_TRUE(App.TypeIntoPrompt("Default Password:", "wrong"));
  EXPECT_NE(TrayAppRun::WaitForBalloon("Data (R:): wrong password, PIM or keyfile. Enter it again."), nullptr);
  const HWND Again = App.WaitForPrompt("Wrong password, PIM or keyfile for Data.\nDefault Password:");
  ASSERT_NE(Again, nullptr);
  SendMessageW(GetDlgItem(Again, 1003), BM_CLICK, 0, 0);  // Cancel, then exit
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitWithoutDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  EXPECT_EQ(ReadTextFile(App.PasswordFilePath()).size(), NoPasswordFile().size());
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Data /p wrong\n");

  // Own wants C:, which is always taken.
  WriteFileBytes(TrayAppRun::AppDataConfigPath(), ReadTextFile(TrayAppRun::AppDataConfigPath()) +
                                                      "[Own]\r\nFile=" + App.AddContainer("own.hc", "pw") +
                                                      "\r\nLetter=C\r\nAuto=1\r\nDefaultPass=0\r\n");
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  ASSERT_TRUE(App.AnswerPrompt("Own Password:", "bad"));
  ASSERT_TRUE(App.AnswerPrompt("Wrong password, PIM or keyfile for Own.\nOwn Password:", "pw"));
  ASSERT_TRUE(App.WaitForMountCount(2)) << App.CommandLog();
  const char Moved = App.Mounts()[0].Letter == 'R' ? App.Mounts()[1].Letter : App.Mounts()[0].Letter;
  EXPECT_NE(TrayAppRun::WaitForBalloon(std::string("Own on ") + Moved + ": (C: was taken)"), nullptr);
}
