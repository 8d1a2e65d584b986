// Popup menus shown for real and looked at while they are open.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "MinMenu.h"
#include "WindowTestHelpers.h"

class MinAppMenu : public ::testing::Test {
 protected:
  // Shows the menu; At runs while it is open, then Keys are pressed in it.
  void ShowMenu(std::vector<WORD> Keys, std::function<void(HMENU Shown)> At = {}) {
    bool Open = false;
    DelayedAction Inspect(100, [&] {
      const auto Shown = HMENU(SendMessageW(FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0));
      Open = Shown && Shown == Menu->Root->Handle && Menu->Open();
      if (At) At(Shown);
      for (WORD Key : Keys) PressMenuKey(Key);
    });
    DelayedAction Escape(3000, [] { PressMenuKey(VK_ESCAPE); });  // so a failure cannot hang
    Menu->Popup(200, 200);
    PumpMessages(100);  // the choice, then the clean-up notice
    EXPECT_TRUE(Open);
    EXPECT_FALSE(Menu->Open());
    EXPECT_EQ(Menu->Root->Handle, nullptr);
  }

  std::unique_ptr<TMinApplication> App = std::make_unique<TMinApplication>("Menus");
  std::unique_ptr<TMinPopupMenu> Menu = std::make_unique<TMinPopupMenu>();
  int Clicks = 0;
  TMinMenuItemEvent Record = [this] { ++Clicks; };
};

static UINT State(HMENU Menu, int Position) { return GetMenuState(Menu, Position, MF_BYPOSITION); }
static std::string Text(HMENU Menu, int Position) {
  char Buffer[64];
  return std::string(Buffer, GetMenuStringA(Menu, Position, Buffer, 64, MF_BYPOSITION));
}

TEST_F(MinAppMenu, ShownMenuFollowsTheTreeByPositionAndEscapeChoosesNothing) {
  Menu->Root->Add("Alpha", Record)->Checked = true;
  Menu->Root->AddSeparator();
  TMinMenuItem* Sub = Menu->Root->Add("Sub", Record);
  Sub->Checked = true;  // sub-menus show no check mark
  Sub->Add("One", Record);
  Sub->AddSeparator();
  Sub->Add("Two", Record)->Checked = true;

  ShowMenu({VK_DOWN, VK_ESCAPE}, [&](HMENU Shown) {
    ASSERT_EQ(GetMenuItemCount(Shown), 3);
    HMENU SubMenu = GetSubMenu(Shown, 2);
    ASSERT_EQ(GetMenuItemCount(SubMenu), 3);
    EXPECT_EQ(Text(Shown, 0) + Text(Shown, 2) + Text(SubMenu, 0), "AlphaSubOne");
    EXPECT_FALSE(State(Shown, 2) & MF_CHECKED);
    EXPECT_TRUE(State(Shown, 0) & State(SubMenu, 2) & MF_CHECKED);
    EXPECT_TRUE(State(Shown, 1) & State(SubMenu, 1) & MF_SEPARATOR);
  });
  EXPECT_EQ(Clicks, 0);
}

TEST_F(MinAppMenu, ThrowingOnPopupStillCleansUp) {
  Menu->Root->Add("Entry");
  Menu->OnPopup = [] { throw std::runtime_error("refresh failed"); };
  EXPECT_THROW(Menu->Popup(200, 200), std::runtime_error);
  PumpMessages(50);
  EXPECT_FALSE(Menu->Open());
  EXPECT_EQ(Menu->Root->Handle, nullptr);

  // Freed before its notice came: the handles go along, the notice finds nothing.
  EXPECT_THROW(Menu->Popup(200, 200), std::runtime_error);
  HMENU Handle = Menu->Root->Handle;
  ASSERT_TRUE(IsMenu(Handle));
  Menu.reset();
  EXPECT_FALSE(IsMenu(Handle));
  PumpMessages(50);
}
