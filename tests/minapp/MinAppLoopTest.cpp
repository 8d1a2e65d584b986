// The hidden application window and its loop.
#include <gtest/gtest.h>

#include <memory>

#include "MinApp.h"
#include "MinWait.h"
#include "Scoped.h"
#include "WindowTestHelpers.h"

TEST(MinAppLoop, HookAnsweringDestroyKeepsTheLoopRunning) {
  TMinApplication App("Loop", [](HWND, UINT Msg, WPARAM, LPARAM) { return LRESULT(Msg == WM_DESTROY); });
  bool DestroyedButRunning = false;
  DelayedAction Quit(300, [&] { DestroyedButRunning = !IsWindow(App.Handle), PostQuitMessage(0); });
  App.Terminate();
  App.Run();
  EXPECT_TRUE(DestroyedButRunning);
}

// A wait's handler runs from the loop; a freed wait's notice is dropped.
TEST(MinAppLoop, ASignalledWaitIsHandledOnceFromTheLoopAndAFreedOneNever) {
  TMinApplication App("Loop");
  const TKernelHandle Event(CreateEventW(nullptr, TRUE, FALSE, nullptr)), Other(CreateEventW(nullptr, TRUE, FALSE, nullptr));
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

TEST(MinAppLoop, FreedWithItsWindowAliveItPostsNoQuit) {
  auto App = std::make_unique<TMinApplication>("Freed");
  const HWND Window = App->Handle;
  App.reset();
  EXPECT_FALSE(IsWindow(Window));
  MSG Msg;
  EXPECT_FALSE(PeekMessageW(&Msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
