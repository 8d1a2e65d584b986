// The tray icon in Wine's notification area.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "MinTrayIcon.h"
#include "Scoped.h"
#include "WindowTestHelpers.h"
#include "WineDesktop.h"

// The icon is in the notification area when the shell takes a balloon for it.
static bool InTray(TMinTrayIcon& Icon) { return Icon.ShowBalloon("Title", "Text", 2000, TBalloonKind::Info); }

class MinAppTrayIcon : public ::testing::Test {
 protected:
  std::unique_ptr<TMinApplication> App = std::make_unique<TMinApplication>("Tray");
  const TIconHandle Picture{CopyIcon(LoadIconW(nullptr, IDI_APPLICATION))};
};

TEST_F(MinAppTrayIcon, TextsAreCutToTheShellFieldsInUtf16Units) {
  auto Icon = std::make_unique<TMinTrayIcon>(Picture.get(), "");
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
  const NOTIFYICONDATAW Balloon =
      Icon->BalloonRecord(std::string(100, 't'), std::string(300, 'x'), 0, TBalloonKind::Warning);
  EXPECT_EQ(wcslen(Balloon.szInfo), 255u);
  EXPECT_EQ(wcslen(Balloon.szInfoTitle), 63u);
  EXPECT_EQ(Balloon.dwInfoFlags, DWORD(NIIF_WARNING));
}

// Shown only with a picture; without its picture a shown icon can still be
// removed. The shell refuses an icon it already has, as it refuses every icon
// before its tray is ready at logon: the add is retried until it takes. A
// restarted shell forgets its icons: the shown ones come back.
TEST_F(MinAppTrayIcon, ShownOnlyWithAPictureAndAnIconTheShellRefusedOrForgotComesBack) {
  auto Removed = std::make_unique<TMinTrayIcon>(nullptr, "Removed");
  Removed->SetShown(true);
  EXPECT_FALSE(Removed->Shown);
  Removed->SetIcon(Picture.get());
  Removed->SetShown(true);
  EXPECT_TRUE(InTray(*Removed));
  Removed->SetIcon(nullptr);
  Removed->SetShown(false);
  EXPECT_FALSE(InTray(*Removed));
  Removed->SetIcon(Picture.get());  // hidden, not gone for good

  auto Shown = std::make_unique<TMinTrayIcon>(Picture.get(), "Shown");
  NOTIFYICONDATAW Stale = Shown->ShellRecord(NIM_ADD);
  ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &Stale));
  Shown->SetShown(true);
  EXPECT_FALSE(Shown->InTray);
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &Stale));
  PumpMessages(TMinTrayIcon::AddRetryInterval + 500);
  EXPECT_TRUE(Shown->InTray && InTray(*Shown));

  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &Stale));
  PostMessageW(HWND_BROADCAST, TaskbarCreatedMessage, 0, 0);
  PumpMessages(200);
  EXPECT_TRUE(InTray(*Shown));
  EXPECT_FALSE(InTray(*Removed));
}

// Real clicks in Wine's notification area, through the X server: the shell
// speaks version 4 to the icon, a select after a left click and a
// context-menu notice after a right one.
TEST_F(MinAppTrayIcon, RealClicksReachTheIconAsSelectAndContextMenuNotices) {
  auto Icon = std::make_unique<TMinTrayIcon>(Picture.get(), "Click");
  std::vector<WORD> Seen;
  Icon->OnMouse = [&](WORD Event, POINT) { Seen.push_back(Event); };
  Icon->SetShown(true);
  PumpMessages(300);
  ASSERT_TRUE(
      StartXdoTool("search --sync --name \"Wine System Tray\" mousemove --window %1 8 8 click 1 sleep 0.3 click 3"));
  const auto Has = [&](WORD Event) { return std::find(Seen.begin(), Seen.end(), Event) != Seen.end(); };
  for (int I = 0; I < 50 && !(Has(NIN_SELECT) && Has(WM_CONTEXTMENU)); ++I) PumpMessages(100);
  EXPECT_TRUE(Has(WM_LBUTTONUP) && Has(NIN_SELECT) && Has(WM_RBUTTONUP) && Has(WM_CONTEXTMENU));
}
