// The tray icon in Wine's notification area: add, modify, remove, balloons,
// mouse callbacks and the return after the taskbar is re-created.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MinMenu.h"
#include "MinTrayIcon.h"
#include "WindowTestHelpers.h"

namespace {

HICON NewIcon() { return CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)); }
bool IconAlive(HICON Icon) {
  ICONINFO Info{};
  if (!GetIconInfo(Icon, &Info)) return false;
  DeleteObject(Info.hbmColor);
  DeleteObject(Info.hbmMask);
  return true;
}

class MinAppTrayIcon : public ::testing::Test {
protected:
  void SetUp() override { App = std::make_unique<TMinApplication>("Tray"); }
  void TearDown() override { App.reset(); }

  // Delivers a mouse message the way the shell does.
  void Click(TMinTrayIcon* Icon, LPARAM MouseMsg) {
    PostMessageW(App->Handle, WM_MINTRAYICON, Icon->Id, MouseMsg);
    PumpMessages(100);
  }

  std::unique_ptr<TMinApplication> App;
};

TEST_F(MinAppTrayIcon, ShownOnlyWithAPicture) {
  auto* Icon = new TMinTrayIcon(nullptr, false, "Tray");
  Icon->SetShown(true);
  EXPECT_FALSE(Icon->Shown);
  EXPECT_FALSE(Icon->ShowBalloon("Title", "Text", 2000, bkInfo));

  Icon->SetIcon(NewIcon());
  EXPECT_FALSE(Icon->Shown);
  Icon->SetShown(true);
  EXPECT_TRUE(Icon->Shown);
  EXPECT_TRUE(Icon->ShowBalloon("Title", "Text", 2000, bkNone));
  Icon->SetShown(false);
  EXPECT_FALSE(Icon->ShowBalloon("Title", "Text", 2000, bkNone));

  // Without its picture a shown icon can still be removed.
  Icon->SetShown(true);
  Icon->SetIcon(nullptr);
  Icon->SetShown(false);
  EXPECT_FALSE(Icon->Shown);
  EXPECT_FALSE(Icon->ShowBalloon("Title", "Text", 2000, bkNone));
}

TEST_F(MinAppTrayIcon, OwnedPicturesAreDestroyedSharedOnesKept) {
  HICON First = NewIcon(), Second = NewIcon(), Third = NewIcon();
  auto* Owned = new TMinTrayIcon(First, false, "Owned");
  Owned->SetShown(true);
  Owned->SetIcon(First);  // the same picture: kept
  EXPECT_TRUE(IconAlive(First));
  Owned->SetIcon(Second);
  EXPECT_FALSE(IconAlive(First));
  EXPECT_TRUE(Owned->ShowBalloon("Title", "Still there", 2000, bkInfo));
  delete Owned;
  EXPECT_FALSE(IconAlive(Second));

  auto* Shared = new TMinTrayIcon(Third, true, "Shared");
  Shared->SetIcon(NewIcon());
  EXPECT_TRUE(IconAlive(Third));
  App.reset();  // frees the tray icon
  EXPECT_TRUE(IconAlive(Third));
  DestroyIcon(Third);
}

TEST_F(MinAppTrayIcon, TextsAreCutToTheShellFields) {
  auto* Icon = new TMinTrayIcon(NewIcon(), false, std::string(200, 'h'));
  EXPECT_EQ(wcslen(Icon->ShellRecord(NIM_ADD).szTip), 126u);
  Icon->Hint = std::string(126, 'h');
  EXPECT_EQ(wcslen(Icon->ShellRecord(NIM_MODIFY).szTip), 126u);
  // "ü" is two UTF-8 bytes but one unit; a character outside the basic plane
  // is two units and is not split.
  Icon->Hint = std::string(125, 'h') + "\xF0\x9F\x94\x92";
  EXPECT_EQ(wcslen(Icon->ShellRecord(NIM_MODIFY).szTip), 125u);
  Icon->Hint = std::string(124, 'h') + "\xC3\xBC\xC3\xBC\xC3\xBC";
  EXPECT_EQ(std::wstring(Icon->ShellRecord(NIM_MODIFY).szTip), std::wstring(124, L'h') + L"\u00FC\u00FC");

  NOTIFYICONDATAW Balloon = Icon->BalloonRecord(std::string(100, 't'), std::string(300, 'x'), 2000, bkWarning);
  EXPECT_EQ(wcslen(Balloon.szInfo), 255u);
  EXPECT_EQ(wcslen(Balloon.szInfoTitle), 63u);
  EXPECT_EQ(Balloon.dwInfoFlags, DWORD(NIIF_WARNING));
  // A kind out of range shows no icon rather than something undefined.
  EXPECT_EQ(Icon->BalloonRecord("", "", 0, 7).dwInfoFlags, DWORD(NIIF_NONE));

  // Long texts are accepted by the shell as cut.
  Icon->SetShown(true);
  EXPECT_TRUE(Icon->ShowBalloon(std::string(100, 't'), std::string(300, 'x'), 2000, bkError));
}

TEST_F(MinAppTrayIcon, CallbackReachesOnMouseWithTheLowWord) {
  auto* Icon = new TMinTrayIcon(NewIcon(), false, "Tray");
  auto* Other = new TMinTrayIcon(NewIcon(), false, "Other");
  std::vector<WORD> Seen;
  Icon->OnMouse = [&](TMinTrayIcon* Sender, WORD Msg) {
    EXPECT_EQ(Sender, Icon);
    Seen.push_back(Msg);
    return true;
  };
  Other->OnMouse = [&](TMinTrayIcon*, WORD) { return ADD_FAILURE(), true; };
  Click(Icon, MAKELPARAM(WM_LBUTTONUP, 0x1234));
  Click(Icon, WM_MOUSEMOVE);
  EXPECT_EQ(Seen, (std::vector<WORD>{WM_LBUTTONUP, WM_MOUSEMOVE}));

  // An identifier no icon has is ignored.
  PostMessageW(App->Handle, WM_MINTRAYICON, Icon->Id + Other->Id + 100, WM_LBUTTONUP);
  PumpMessages(50);
  EXPECT_EQ(Seen.size(), 2u);
}

TEST_F(MinAppTrayIcon, UnhandledRightButtonReleaseOpensThePopupMenu) {
  auto* Icon = new TMinTrayIcon(NewIcon(), false, "Tray");
  auto* Menu = new TMinPopupMenu;
  Menu->Root->Add("Entry");
  int Opened = 0;
  Menu->OnPopup = [&](TMinPopupMenu*) { ++Opened; };
  Icon->PopupMenu = Menu;
  DelayedAction CloseMenu(500, [] { PressMenuKey(VK_ESCAPE); });

  Click(Icon, WM_RBUTTONUP);  // no OnMouse: nothing at all
  EXPECT_EQ(Opened, 0);

  bool Handled = true;
  Icon->OnMouse = [&](TMinTrayIcon*, WORD) { return Handled; };
  Click(Icon, WM_RBUTTONUP);
  EXPECT_EQ(Opened, 0);

  Handled = false;
  Click(Icon, WM_LBUTTONUP);
  EXPECT_EQ(Opened, 0);
  Click(Icon, WM_RBUTTONUP);
  EXPECT_EQ(Opened, 1);
  EXPECT_TRUE(CloseMenu.Ran());
  EXPECT_FALSE(InMenuLoop);
}

TEST_F(MinAppTrayIcon, TaskbarCreatedBringsBackOnlyShownIcons) {
  auto* Shown = new TMinTrayIcon(NewIcon(), false, "Shown");
  auto* Removed = new TMinTrayIcon(NewIcon(), false, "Removed");
  auto* NoRestore = new TMinTrayIcon(NewIcon(), false, "No restore");
  Shown->SetShown(true);
  Removed->SetShown(true);
  Removed->SetShown(false);
  NoRestore->SetShown(true);
  NoRestore->SetAutoRestore(false);
  // The shell restarted and forgot its icons.
  for (TMinTrayIcon* Icon : {Shown, NoRestore}) {
    NOTIFYICONDATAW Record = Icon->ShellRecord(NIM_DELETE);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &Record));
  }

  PostMessageW(HWND_BROADCAST, TaskbarCreatedMessage, 0, 0);
  PumpMessages(200);
  EXPECT_TRUE(Shown->ShowBalloon("Back", "Shown", 2000, bkInfo));
  EXPECT_FALSE(Removed->ShowBalloon("Gone", "Removed", 2000, bkInfo));
  EXPECT_FALSE(Removed->Shown);
  EXPECT_FALSE(NoRestore->ShowBalloon("Gone", "No restore", 2000, bkInfo));
}

}  // namespace
