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
  void SetUp() override {
    App = std::make_unique<TMinApplication>("Menus");
    Menu = new TMinPopupMenu;
  }
  void TearDown() override { App.reset(); }

  // Shows the menu; At runs while it is open, then Keys are pressed in it.
  void ShowMenu(std::function<void()> At, std::vector<WORD> Keys) {
    DelayedAction Inspect(100, [&] {
      WhileOpen.MenuOpen = OpenMenu() == Menu->Root->Handle && Menu->Root->Handle;
      WhileOpen.InMenuLoop = InMenuLoop;
      if (At) At();
      for (WORD Key : Keys) PressMenuKey(Key);
    });
    // Closes a menu that the keys left open, so a failing test cannot hang.
    DelayedAction Escape(3000, [] { PressMenuKey(VK_ESCAPE); });
    Menu->Popup(200, 200);
    EXPECT_TRUE(Inspect.Ran());
    EXPECT_FALSE(Escape.Ran());
    // The choice and then the clean-up notice.
    PumpMessages(100);
    EXPECT_TRUE(WhileOpen.MenuOpen);
    EXPECT_TRUE(WhileOpen.InMenuLoop);
    EXPECT_FALSE(InMenuLoop);
    EXPECT_EQ(Menu->Root->Handle, nullptr);
  }

  std::unique_ptr<TMinApplication> App;
  TMinPopupMenu* Menu = nullptr;  // freed by the application
  struct {
    bool MenuOpen = false;
    bool InMenuLoop = false;
  } WhileOpen;
};

bool IsChecked(HMENU Menu, int Position) { return GetMenuState(Menu, Position, MF_BYPOSITION) & MF_CHECKED; }
bool IsSeparator(HMENU Menu, int Position) { return GetMenuState(Menu, Position, MF_BYPOSITION) & MF_SEPARATOR; }

TEST_F(MinAppMenu, ShownMenuFollowsTheTreeByPosition) {
  TMinMenuItem* Root = Menu->Root;
  Root->Add("Alpha")->Checked = true;
  Root->AddSeparator();
  Root->Add("Beta");
  TMinMenuItem* Sub = Root->Add("Sub");
  Sub->Checked = true;  // sub-menus show no check mark
  Sub->Add("One");
  Sub->AddSeparator();
  Sub->Add("Two")->Checked = true;
  Root->Add("-")->Add("Inner");  // with children: a sub-menu titled "-"
  Root->Add("Gamma")->Checked = true;

  ShowMenu(
      [&] {
        HMENU Shown = OpenMenu();
        ASSERT_EQ(GetMenuItemCount(Shown), 6);
        EXPECT_EQ(MenuText(Shown, 0), "Alpha");
        EXPECT_TRUE(IsChecked(Shown, 0));
        EXPECT_TRUE(IsSeparator(Shown, 1));
        EXPECT_EQ(MenuText(Shown, 2), "Beta");
        EXPECT_FALSE(IsChecked(Shown, 2));
        EXPECT_EQ(MenuText(Shown, 3), "Sub");
        EXPECT_FALSE(IsChecked(Shown, 3));
        HMENU SubMenu = GetSubMenu(Shown, 3);
        ASSERT_NE(SubMenu, nullptr);
        EXPECT_EQ(SubMenu, Sub->Handle);
        ASSERT_EQ(GetMenuItemCount(SubMenu), 3);
        EXPECT_EQ(MenuText(SubMenu, 0), "One");
        EXPECT_TRUE(IsSeparator(SubMenu, 1));
        EXPECT_TRUE(IsChecked(SubMenu, 2));
        EXPECT_EQ(MenuText(Shown, 4), "-");
        EXPECT_FALSE(IsSeparator(Shown, 4));
        EXPECT_NE(GetSubMenu(Shown, 4), nullptr);
        EXPECT_EQ(MenuText(Shown, 5), "Gamma");
        EXPECT_TRUE(IsChecked(Shown, 5));
      },
      {VK_ESCAPE});
  EXPECT_EQ(Sub->Handle, nullptr);
}

TEST_F(MinAppMenu, ChoiceReachesTheChosenItemWhileItsHandleExists) {
  std::vector<std::string> Clicks;
  bool HandleAlive = false;
  auto Record = [&](TMinMenuItem* Item) {
    Clicks.push_back(Item->Caption);
    HandleAlive = Item->Parent->Handle != nullptr;
  };
  Menu->Root->Add("First", Record, nullptr, -1, 1);
  Menu->Root->AddSeparator();
  Menu->Root->Add("Second", Record, nullptr, -1, 2);
  Menu->Root->Add("Third", Record, nullptr, -1, 3);

  ShowMenu({}, {VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(Clicks, std::vector<std::string>{"Second"});
  EXPECT_TRUE(HandleAlive);
}

TEST_F(MinAppMenu, ChoiceInASubMenuReachesItsItem) {
  std::vector<std::string> Clicks;
  auto Record = [&](TMinMenuItem* Item) { Clicks.push_back(Item->Caption); };
  Menu->Root->Add("Top", Record);
  TMinMenuItem* Sub = Menu->Root->Add("Sub", Record);  // never called: it opens
  Sub->Add("Inner one", Record);
  Sub->Add("Inner two", Record);

  ShowMenu({}, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
  EXPECT_EQ(Clicks, std::vector<std::string>{"Inner two"});
}

TEST_F(MinAppMenu, EscapeCallsNoHandler) {
  int Clicks = 0;
  Menu->Root->Add("Only", [&](TMinMenuItem*) { ++Clicks; });
  ShowMenu({}, {VK_DOWN, VK_ESCAPE});
  EXPECT_EQ(Clicks, 0);
}

TEST_F(MinAppMenu, HandlerMayRebuildTheMenuThatCalledIt) {
  int Clicks = 0;
  Menu->Root->Add("Rebuild", [&](TMinMenuItem*) {
    ++Clicks;
    Menu->Root->Clear();
    Menu->Root->Add("New");
  });
  ShowMenu({}, {VK_DOWN, VK_RETURN});
  EXPECT_EQ(Clicks, 1);
  ASSERT_EQ(Menu->Root->Count(), 1);
  EXPECT_EQ(Menu->Root->Item(0)->Caption, "New");
}

TEST_F(MinAppMenu, OnPopupRefillsTheTreeBeforeEveryShowing) {
  int Showings = 0;
  Menu->OnPopup = [&](TMinPopupMenu* Sender) {
    ++Showings;
    Sender->Root->Clear();
    for (int I = 0; I < Showings; ++I) Sender->Root->Add("Entry " + std::to_string(I));
  };
  for (int Expected = 1; Expected <= 2; ++Expected) {
    int Count = -1;
    ShowMenu([&] { Count = GetMenuItemCount(OpenMenu()); }, {VK_ESCAPE});
    EXPECT_EQ(Count, Expected);
  }
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
}

TEST_F(MinAppMenu, MenuFreedBeforeItsNoticeTakesItsHandlesAlong) {
  Menu->Root->Add("Entry");
  Menu->OnPopup = [](TMinPopupMenu*) { throw std::runtime_error("stop before showing"); };
  EXPECT_THROW(Menu->Popup(200, 200), std::runtime_error);
  HMENU Handle = Menu->Root->Handle;
  ASSERT_TRUE(IsMenu(Handle));
  delete Menu;
  EXPECT_FALSE(IsMenu(Handle));
  PumpMessages(50);  // the notice names a root that is gone
}

TEST_F(MinAppMenu, ImageItemsAreOwnerDrawn) {
  TMinImageList Images;
  Images.Handle = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
  ImageList_AddIcon(Images.Handle, LoadIconW(nullptr, IDI_APPLICATION));
  TMinMenuItem* Picture = Menu->Root->Add("Picture", {}, &Images, 0);
  Menu->Root->Add("No index", {}, &Images, -1);

  ShowMenu(
      [&] {
        MENUITEMINFOW Info{};
        Info.cbSize = sizeof(Info);
        Info.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoW(OpenMenu(), 0, TRUE, &Info));
        EXPECT_TRUE(Info.fType & MFT_OWNERDRAW);
        EXPECT_EQ(Info.dwItemData, reinterpret_cast<ULONG_PTR>(Picture));
        ASSERT_TRUE(GetMenuItemInfoW(OpenMenu(), 1, TRUE, &Info));
        EXPECT_FALSE(Info.fType & MFT_OWNERDRAW);
      },
      {VK_ESCAPE});
  ImageList_Destroy(Images.Handle);
}

}  // namespace
