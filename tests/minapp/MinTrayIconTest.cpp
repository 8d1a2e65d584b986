// The tray icon in Wine's notification area.
#include <gtest/gtest.h>

#include <memory>

#include "MinMenu.h"
#include "MinTrayIcon.h"
#include "WindowTestHelpers.h"

static HICON NewIcon() { return CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)); }
static bool IconAlive(HICON Icon) { ICONINFO Info; return GetIconInfo(Icon, &Info); }
// The icon is in the notification area when the shell takes a balloon for it.
static bool InTray(TMinTrayIcon& Icon) { return Icon.ShowBalloon("Title", "Text", 2000, bkInfo); }

class MinAppTrayIcon : public ::testing::Test {
protected:
  std::unique_ptr<TMinApplication> App = std::make_unique<TMinApplication>("Tray");
};

TEST_F(MinAppTrayIcon, ShownOnlyWithAPictureWhichItOwnsUnlessShared) {
  HICON First = NewIcon(), Second = NewIcon(), Shared = NewIcon(), Kept = NewIcon();
  auto Icon = std::make_unique<TMinTrayIcon>(nullptr, false, "Tray");
  Icon->SetShown(true);
  EXPECT_FALSE(Icon->Shown);
  Icon->SetIcon(First);
  Icon->SetShown(true);
  Icon->SetIcon(First);  // the same picture: kept
  EXPECT_TRUE(IconAlive(First));
  Icon->SetIcon(Second);
  EXPECT_FALSE(IconAlive(First));
  EXPECT_TRUE(InTray(*Icon));
  // Without its picture a shown icon can still be removed.
  Icon->SetIcon(nullptr);
  EXPECT_FALSE(IconAlive(Second));
  Icon->SetShown(false);
  EXPECT_FALSE(InTray(*Icon));

  auto SharedIcon = std::make_unique<TMinTrayIcon>(Shared, true, "Shared");
  SharedIcon->SetIcon(Kept);
  EXPECT_TRUE(IconAlive(Shared));
  SharedIcon.reset();
  EXPECT_TRUE(IconAlive(Kept));
}

TEST_F(MinAppTrayIcon, TextsAreCutToTheShellFieldsInUtf16Units) {
  auto Icon = std::make_unique<TMinTrayIcon>(NewIcon(), false, "");
  // A character outside the basic plane is two units and is not split; "ü"
  // is two bytes but one unit.
  const std::pair<std::string, std::wstring> Cases[] = {
      {std::string(200, 'h'), std::wstring(126, L'h')},
      {std::string(125, 'h') + "\xF0\x9F\x94\x92", std::wstring(125, L'h')},
      {std::string(124, 'h') + "\xC3\xBC\xC3\xBC\xC3\xBC", std::wstring(124, L'h') + L"\u00FC\u00FC"}};
  for (const auto& [Hint, Tip] : Cases) {
    Icon->Hint = Hint;
    EXPECT_EQ(std::wstring(Icon->ShellRecord(NIM_MODIFY).szTip), Tip);
  }
  const NOTIFYICONDATAW Balloon = Icon->BalloonRecord(std::string(100, 't'), std::string(300, 'x'), 0, bkWarning);
  EXPECT_EQ(wcslen(Balloon.szInfo), 255u);
  EXPECT_EQ(wcslen(Balloon.szInfoTitle), 63u);
  EXPECT_EQ(Balloon.dwInfoFlags, DWORD(NIIF_WARNING));
}

TEST_F(MinAppTrayIcon, CallbackReachesItsIconAndAnUnhandledRightButtonReleaseOpensThePopupMenu) {
  auto Icon = std::make_unique<TMinTrayIcon>(NewIcon(), false, "Tray");
  const auto Click = [&](UINT Id, LPARAM Msg) { PostMessageW(App->Handle, WM_MINTRAYICON, Id, Msg), PumpMessages(100); };
  TMinPopupMenu Menu;
  Icon->PopupMenu = &Menu;
  Menu.Root->Add("Entry");
  int Opened = 0;
  Menu.OnPopup = [&](TMinPopupMenu*) { ++Opened; };
  DelayedAction CloseMenu(500, [] { PressMenuKey(VK_ESCAPE); });

  Click(Icon->Id, WM_RBUTTONUP);  // no OnMouse: nothing at all
  std::vector<WORD> Seen;
  bool Handled = true;
  Icon->OnMouse = [&](TMinTrayIcon* Sender, WORD Msg) { return Seen.push_back(Sender == Icon.get() ? Msg : 0), Handled; };
  Click(Icon->Id, MAKELPARAM(WM_RBUTTONUP, 0x1234));
  Click(Icon->Id + 100, WM_LBUTTONUP);  // no icon has it
  Handled = false;
  Click(Icon->Id, WM_LBUTTONUP);
  EXPECT_EQ(Opened, 0);
  Click(Icon->Id, WM_RBUTTONUP);
  EXPECT_EQ(Opened, 1);
  EXPECT_EQ(Seen, (std::vector<WORD>{WM_RBUTTONUP, WM_LBUTTONUP, WM_RBUTTONUP}));
}

TEST_F(MinAppTrayIcon, TaskbarCreatedBringsBackShownIconsPastTheHook) {
  App->OnMessage = [](HWND, UINT, WPARAM, LPARAM) { return LRESULT(1); };
  auto Shown = std::make_unique<TMinTrayIcon>(NewIcon(), false, "Shown");
  auto Removed = std::make_unique<TMinTrayIcon>(NewIcon(), false, "Removed");
  Shown->SetShown(true), Removed->SetShown(true), Removed->SetShown(false);
  // The shell restarted and forgot its icons.
  NOTIFYICONDATAW Record = Shown->ShellRecord(NIM_DELETE);
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &Record));
  PostMessageW(HWND_BROADCAST, TaskbarCreatedMessage, 0, 0);
  PumpMessages(200);
  EXPECT_TRUE(InTray(*Shown));
  EXPECT_FALSE(InTray(*Removed));
}
