// The hidden application window and its loop.
#include <gtest/gtest.h>

#include <memory>

#include "MinApp.h"
#include "WindowTestHelpers.h"

TEST(MinAppLoop, HookAnsweringDestroyKeepsTheLoopRunning) {
  TMinApplication App("Loop", [](HWND, UINT Msg, WPARAM, LPARAM) { return LRESULT(Msg == WM_DESTROY); });
  bool DestroyedButRunning = false;
  DelayedAction Quit(300, [&] { DestroyedButRunning = !IsWindow(App.Handle), PostQuitMessage(0); });
  App.Terminate();
  App.Run();
  EXPECT_TRUE(DestroyedButRunning);
}

TEST(MinAppLoop, TerminateEndsRunButNotWhileAnInputBoxIsOpen) {
  std::vector<UINT> Seen;
  TMinApplication App("Loop", [&](HWND, UINT Msg, WPARAM, LPARAM) { return Seen.push_back(Msg), LRESULT(0); });
  Seen.clear();
  ModalLevel = 1;
  App.Terminate();
  PumpMessages(100);
  EXPECT_TRUE(IsWindow(App.Handle));
  // The hook sees every message; the framework acts on the menu clean-up
  // notice only.
  InMenuLoop = true;
  PostMessageW(App.Handle, WM_EXITMENULOOP, MenuCleanupNotice, 1);
  PumpMessages(50);
  EXPECT_FALSE(InMenuLoop);
  EXPECT_EQ(Seen, (std::vector<UINT>{WM_CLOSE, WM_EXITMENULOOP}));

  ModalLevel = 0;
  DelayedAction Watchdog(5000, [] { PostQuitMessage(0); });
  App.Terminate();
  App.Run();
  EXPECT_FALSE(Watchdog.Ran());
}

TEST(MinAppLoop, FreedWithItsWindowAliveItPostsNoQuit) {
  auto App = std::make_unique<TMinApplication>("Freed");
  const HWND Window = App->Handle;
  App.reset();
  EXPECT_FALSE(IsWindow(Window));
  MSG Msg;
  EXPECT_FALSE(PeekMessageW(&Msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
