// Popup menus shown for real and looked at while they are open.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "MinMenu.h"
#include "WindowTestHelpers.h"

namespace {

class MinAppMenu : public ::testing::Test {
protected:
  // Shows the menu; At runs while it is open, then Keys are pressed in it.
  void ShowMenu(std::vector<WORD> Keys, std::function<void(HMENU Shown)> At = {}) {
    bool Open = false;
    DelayedAction Inspect(100, [&] {
      Open = OpenMenu() == Menu->Root->Handle && Menu->Root->Handle && InMenuLoop;
      if (At) At(OpenMenu());
      for (WORD Key : Keys) PressMenuKey(Key);
    });
    // Closes a menu that the keys left open, so a failing test cannot hang.
    DelayedAction Escape(3000, [] { PressMenuKey(VK_ESCAPE); });
    Menu->Popup(200, 200);
    EXPECT_FALSE(Escape.Ran());
    PumpMessages(100);  // the choice, then the clean-up notice
    EXPECT_TRUE(Open);
    EXPECT_FALSE(InMenuLoop);
    EXPECT_EQ(Menu->Root->Handle, nullptr);
  }

  std::unique_ptr<TMinApplication> App = std::make_unique<TMinApplication>("Menus");
  TMinPopupMenu* Menu = new TMinPopupMenu;  // freed by the application
  std::vector<std::string> Clicks;
  TMinMenuItemEvent Record = [this](TMinMenuItem* Item) { Clicks.push_back(Item->Caption); };
};

UINT State(HMENU Menu, int Position) { return GetMenuState(Menu, Position, MF_BYPOSITION); }
std::string Text(HMENU Menu, int Position) {
  char Buffer[64] = {};
  return std::string(Buffer, GetMenuStringA(Menu, Position, Buffer, 64, MF_BYPOSITION));
}

TEST_F(MinAppMenu, ShownMenuFollowsTheTreeByPositionAndEscapeChoosesNothing) {
  TMinImageList Images;
  Images.Handle = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
  ImageList_AddIcon(Images.Handle, LoadIconW(nullptr, IDI_APPLICATION));
  TMinMenuItem* Root = Menu->Root;
  Root->Add("Alpha", Record)->Checked = true;
  Root->AddSeparator();
  TMinMenuItem* Sub = Root->Add("Sub", Record);
  Sub->Checked = true;  // sub-menus show no check mark
  Sub->Add("One", Record);
  Sub->AddSeparator();
  Sub->Add("Two", Record)->Checked = true;
  Root->Add("-")->Add("Inner");  // with children: a sub-menu titled "-"
  TMinMenuItem* Picture = Root->Add("Picture", Record, &Images, 0);
  Root->Add("No index", Record, &Images, -1);

  ShowMenu({VK_DOWN, VK_ESCAPE}, [&](HMENU Shown) {
    ASSERT_EQ(GetMenuItemCount(Shown), 6);
    EXPECT_EQ(Text(Shown, 0), "Alpha");
    EXPECT_TRUE(State(Shown, 0) & MF_CHECKED);
    EXPECT_TRUE(State(Shown, 1) & MF_SEPARATOR);
    EXPECT_EQ(Text(Shown, 2), "Sub");
    EXPECT_FALSE(State(Shown, 2) & MF_CHECKED);
    HMENU SubMenu = GetSubMenu(Shown, 2);
    EXPECT_EQ(SubMenu, Sub->Handle);
    ASSERT_EQ(GetMenuItemCount(SubMenu), 3);
    EXPECT_EQ(Text(SubMenu, 0), "One");
    EXPECT_TRUE(State(SubMenu, 1) & MF_SEPARATOR);
    EXPECT_TRUE(State(SubMenu, 2) & MF_CHECKED);
    EXPECT_EQ(Text(Shown, 3), "-");
    EXPECT_NE(GetSubMenu(Shown, 3), nullptr);
    // Items with a picture are drawn by the framework.
    MENUITEMINFOW Info{sizeof(Info), MIIM_FTYPE | MIIM_DATA};
    ASSERT_TRUE(GetMenuItemInfoW(Shown, 4, TRUE, &Info));
    EXPECT_TRUE(Info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(Info.dwItemData, reinterpret_cast<ULONG_PTR>(Picture));
    ASSERT_TRUE(GetMenuItemInfoW(Shown, 5, TRUE, &Info));
    EXPECT_FALSE(Info.fType & MFT_OWNERDRAW);
  });
  EXPECT_EQ(Sub->Handle, nullptr);
  EXPECT_TRUE(Clicks.empty());
  ImageList_Destroy(Images.Handle);
}

TEST_F(MinAppMenu, OnPopupFillsTheTreeBeforeEveryShowingAndChoicesReachTheirItems) {
  Menu->OnPopup = [this](TMinPopupMenu* Sender) {
    Sender->Root->Clear();
    Sender->Root->Add("First", Record);
    Sender->Root->AddSeparator();
    Sender->Root->Add("Second", [this](TMinMenuItem* Item) {
      EXPECT_NE(Item->Parent->Handle, nullptr);
      Record(Item);
    });
    TMinMenuItem* Sub = Sender->Root->Add("Sub", Record);  // never called: it opens
    Sub->Add("Inner one", Record);
    // The handler may free its own item by rebuilding the menu.
    Sub->Add("Inner two", [this](TMinMenuItem* Item) { Record(Item), Menu->Root->Clear(), Menu->Root->Add("New"); });
  };
  ShowMenu({VK_DOWN, VK_DOWN, VK_RETURN});
  ShowMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
  EXPECT_EQ(Clicks, (std::vector<std::string>{"Second", "Inner two"}));
  EXPECT_EQ(Menu->Root->Count(), 1);
  ShowMenu({VK_ESCAPE}, [](HMENU Shown) { EXPECT_EQ(GetMenuItemCount(Shown), 4); });
}

TEST_F(MinAppMenu, ThrowingOnPopupStillCleansUp) {
  Menu->Root->Add("Entry");
  Menu->OnPopup = [](TMinPopupMenu*) { throw std::runtime_error("refresh failed"); };
  InMenuLoop = true;
  EXPECT_THROW(Menu->Popup(200, 200), std::runtime_error);
  EXPECT_NE(Menu->Root->Handle, nullptr);
  PumpMessages(50);
  EXPECT_FALSE(InMenuLoop);
  EXPECT_EQ(Menu->Root->Handle, nullptr);

  // Freed before its notice came: the handles go along, the notice finds nothing.
  EXPECT_THROW(Menu->Popup(200, 200), std::runtime_error);
  HMENU Handle = Menu->Root->Handle;
  ASSERT_TRUE(IsMenu(Handle));
  delete Menu;
  EXPECT_FALSE(IsMenu(Handle));
  PumpMessages(50);
}

}  // namespace
