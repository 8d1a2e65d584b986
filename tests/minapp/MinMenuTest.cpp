// A popup menu whose refresh throws, or that is freed before its notice comes.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "MinMenu.h"
#include "WindowTestHelpers.h"

class MinAppMenu : public ::testing::Test {
 protected:
  std::unique_ptr<TMinApplication> App = std::make_unique<TMinApplication>("Menus");
  std::unique_ptr<TMinPopupMenu> Menu = std::make_unique<TMinPopupMenu>();
};

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
