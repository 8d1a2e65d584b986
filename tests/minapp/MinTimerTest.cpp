#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>

#include "MinApp.h"
#include "MinDialogs.h"
#include "MinMenu.h"
#include "MinTimer.h"

namespace {

// Dispatches the thread's messages for Milliseconds.
void PumpFor(DWORD Milliseconds) {
  const ULONGLONG End = GetTickCount64() + Milliseconds;
  for (ULONGLONG Now = GetTickCount64(); Now < End; Now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(End - Now), QS_ALLINPUT);
    MSG Message;
    while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&Message);
      DispatchMessageW(&Message);
    }
  }
}

// Runs Action once from a thread timer after Delay, i.e. also from inside
// the nested loop of a menu or an input box.
std::function<void()> Pending;
UINT_PTR PendingTimer = 0;
void CALLBACK RunPending(HWND, UINT, UINT_PTR, DWORD) {
  KillTimer(nullptr, PendingTimer);
  auto Action = std::move(Pending);
  Pending = nullptr;
  if (Action) Action();
}
void After(UINT Delay, std::function<void()> Action) {
  Pending = std::move(Action);
  PendingTimer = SetTimer(nullptr, 0, Delay, RunPending);
}

class MinTimerTest : public ::testing::Test {
protected:
  void SetUp() override { App = std::make_unique<TMinApplication>("Timer Test"); }
  void TearDown() override { App.reset(); }

  std::unique_ptr<TMinApplication> App;
  int Ticks = 0;
  TMinTimerEvent Count = [this](TMinTimer*) { ++Ticks; };
};

}  // namespace

TEST_F(MinTimerTest, StartingTwiceKeepsOneTimerAndItsPeriod) {
  TMinTimer Timer(false, Count, 150);
  Timer.SetEnabled(true);
  const UINT_PTR First = Timer.TimerID();
  EXPECT_NE(First, 0u);
  // A second start that set the timer again would restart the period each
  // time, and no tick would ever come.
  for (int I = 0; I < 20; ++I) {
    Timer.SetEnabled(true);
    PumpFor(25);
  }
  EXPECT_GE(Ticks, 2);
  EXPECT_EQ(Timer.TimerID(), First);

  Timer.SetEnabled(false);
  EXPECT_EQ(Timer.TimerID(), 0u);
  EXPECT_FALSE(KillTimer(App->Handle, reinterpret_cast<UINT_PTR>(&Timer))) << "system timer still set";
  Timer.SetEnabled(false);
  const int Stopped = Ticks;
  PumpFor(300);
  EXPECT_EQ(Ticks, Stopped);
}

TEST_F(MinTimerTest, IntervalIsReadWhenStarted) {
  TMinTimer* Seen = nullptr;
  TMinTimer Timer(false, [&](TMinTimer* Sender) { Seen = Sender, ++Ticks; }, 60000);
  Timer.Interval = 20;
  Timer.SetEnabled(true);
  // Changing it while running changes nothing until the next start.
  Timer.Interval = 60000;
  PumpFor(300);
  EXPECT_GE(Ticks, 3);
  EXPECT_EQ(Seen, &Timer);
}

TEST_F(MinTimerTest, DestroyingARunningTimerKillsItFirst) {
  auto* Timer = new TMinTimer(true, Count, 10);
  const auto Event = reinterpret_cast<UINT_PTR>(Timer);
  PumpFor(50);
  delete Timer;
  EXPECT_FALSE(KillTimer(App->Handle, Event)) << "system timer outlived its object";
  const int Before = Ticks;
  PumpFor(100);
  EXPECT_EQ(Ticks, Before);
  EXPECT_EQ(App->RegisteredObjects().size(), 0u);
}

TEST_F(MinTimerTest, TicksAreDroppedWhileAPopupMenuIsOpen) {
  TMinTimer Timer(true, Count, 20);
  auto* Menu = new TMinPopupMenu;
  Menu->Root->Add("Mount");
  int AtOpen = -1, AtClose = -1;
  bool MenuSeen = false;
  After(50, [&] {
    MenuSeen = InMenuLoop;
    AtOpen = Ticks;
    After(300, [&] {
      AtClose = Ticks;
      EndMenu();
    });
  });
  Menu->Popup(100, 100);
  EXPECT_TRUE(MenuSeen);
  EXPECT_EQ(AtClose, AtOpen);
  // Ticks come back once the clean-up notice has been handled.
  const int AfterMenu = Ticks;
  PumpFor(300);
  EXPECT_FALSE(InMenuLoop);
  EXPECT_GE(Ticks - AfterMenu, 3);
}

TEST_F(MinTimerTest, TicksAreDroppedWhileAnInputBoxIsOpen) {
  TMinTimer Timer(true, Count, 20);
  int AtOpen = -1, AtClose = -1;
  After(30, [&] {
    AtOpen = Ticks;
    After(300, [&] {
      AtClose = Ticks;
      SendMessageW(GetDlgItem(FindWindowW(L"InputBox", nullptr), InputBoxCancelId), BM_CLICK, 0, 0);
    });
  });
  std::string Value;
  EXPECT_FALSE(InputBox("Mount", "Password:", "", Value));
  EXPECT_EQ(AtClose, AtOpen);
  const int AfterBox = Ticks;
  PumpFor(200);
  EXPECT_GE(Ticks - AfterBox, 3);
}
