// The hidden application window's loop, its waits and its timers, and what
// their handlers throw.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "MinApp.h"
#include "MinMenu.h"
#include "MinTimer.h"
#include "MinWait.h"
#include "Scoped.h"
#include "WindowTestHelpers.h"

// A wait's handler runs from the loop; a freed wait's notice is dropped.
TEST(MinAppLoop, ASignalledWaitIsHandledOnceFromTheLoopAndAFreedOneNever) {
  TMinApplication App("Loop");
  const TKernelHandle Event(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      Other(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  int Calls = 0, FreedCalls = 0;
  const DWORD Thread = GetCurrentThreadId();
  TMinWait Wait(Event.get(), [&] {
    ++Calls;
    EXPECT_EQ(GetCurrentThreadId(), Thread);
  });
  auto Freed = std::make_unique<TMinWait>(Other.get(), [&] { ++FreedCalls; });
  ASSERT_TRUE(Wait.Armed() && Freed->Armed());
  SetEvent(Event.get());
  SetEvent(Other.get());
  Sleep(200);  // both notices are posted before the loop sees them
  Freed.reset();
  PumpMessages(200);
  EXPECT_EQ(std::pair(Calls, FreedCalls), std::pair(1, 0));
}

TEST(MinTimer, OneSystemTimerFromStartToDestructionWithTheIntervalReadAtStart) {
  auto App = std::make_unique<TMinApplication>("Timer");
  int Ticks = 0;
  const TMinTimerEvent Count = [&] { ++Ticks; };
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

TEST(MinTimer, TicksGoOnWhileAPopupMenuIsOpen) {
  TMinApplication App("Timer");
  int Ticks = 0, AtOpen = -1, AtClose = -1;
  const TMinTimer Timer(
      true, [&] { ++Ticks; }, 20);
  TMinPopupMenu Menu;
  Menu.Root->Add("Mount");
  DelayedAction Opened(50, [&] { AtOpen = Ticks; });
  DelayedAction Close(350, [&] { AtClose = Ticks, EndMenu(); });
  Menu.Popup(100, 100);
  EXPECT_GE(AtClose - AtOpen, 5);
}

// What a handler throws stops at the boundary with Windows: the application
// is told, and the loop goes on with the next event.
namespace {
class TFailingApplication : public TMinApplication {
 public:
  TFailingApplication() : TMinApplication("Failing") {}

 protected:
  LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override {
    if (Msg == WM_APP) throw std::runtime_error("message");
    return TMinApplication::HandleMessage(Msg, WParam, LParam);
  }
};
}  // namespace

TEST(MinAppEvents, AThrowingTimerOrMessageHandlerIsToldAndTheLoopGoesOn) {
  std::vector<std::string> Told;
  TFailingApplication App;
  App.OnEventFailed = [&](const std::string& What) { Told.push_back(What); };
  TMinTimer Failing(true, {}, 10);
  Failing.OnTimer = [&] {
    Failing.SetEnabled(false);
    throw std::bad_alloc();
  };
  TMinTimer Quit(
      true, [&] { App.Terminate(); }, 300);
  PostMessageW(App.Handle, WM_APP, 0, 0);
  App.Run();
  EXPECT_EQ(Told, (std::vector<std::string>{"message", "std::bad_alloc"}));
}
