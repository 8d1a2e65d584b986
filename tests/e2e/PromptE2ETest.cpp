// The password prompt of the real program as a user meets it: at 150%,
// in front and with the focus in its field, answered on the keyboard.
#include <gtest/gtest.h>

#include "TrayAppRun.h"
#include "WineDesktop.h"

TEST(TrayAppPrompt, AtOneHundredFiftyPercentThePasswordTypedAndEnterMountTheVolume) {
  const SessionDpi Session(144);
  TrayAppRun App("e2eprompt");
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
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  EXPECT_TRUE(Has(App.CommandLog(), "/p secret\n")) << App.CommandLog();
}
