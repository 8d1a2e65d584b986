// The window timer: one system timer per object, ticking on while a popup
// menu runs its loop.
#include <gtest/gtest.h>

#include <memory>

#include "MinMenu.h"
#include "MinTimer.h"
#include "WindowTestHelpers.h"

class MinTimerTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMinApplication> App = std::make_unique<TMinApplication>("Timer Test");
  int Ticks = 0;
  TMinTimerEvent Count = [this](TMinTimer*) { ++Ticks; };
};

TEST_F(MinTimerTest, OneSystemTimerFromStartToDestructionWithTheIntervalReadAtStart) {
  TMinTimer Timer(true, Count, 150);
  Timer.Interval = 60000;  // changes nothing until the next start
  // Setting the timer again would restart the period each time: no tick ever.
  for (int I = 0; I < 20; ++I) Timer.SetEnabled(true), PumpMessages(25);
  EXPECT_GE(Ticks, 2);

  auto Running = std::make_unique<TMinTimer>(true, Count, 10);
  const auto Event = UINT_PTR(Running.get());
  Running.reset();
  EXPECT_FALSE(KillTimer(App->Handle, Event)) << "system timer outlived its object";

  // Freed after the application: it must not reach the freed object.
  Running = std::make_unique<TMinTimer>(true, Count, 10);
  App.reset();
  Running.reset();
}

TEST_F(MinTimerTest, TicksGoOnWhileAPopupMenuIsOpen) {
  TMinTimer Timer(true, Count, 20);
  TMinPopupMenu Menu;
  Menu.Root->Add("Mount");
  int AtOpen = -1, AtClose = -1;
  DelayedAction Opened(50, [&] { AtOpen = Ticks; });
  DelayedAction Close(350, [&] { AtClose = Ticks, EndMenu(); });
  Menu.Popup(100, 100);
  EXPECT_GE(AtClose - AtOpen, 5);
}
