// The hidden application window, its loop, and the objects it frees.
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
  // The menu clean-up notice still gets through.
  InMenuLoop = true;
  PostMessageW(App.Handle, WM_EXITMENULOOP, MenuCleanupNotice, 1);
  PumpMessages(50);
  EXPECT_FALSE(InMenuLoop);
  EXPECT_EQ(Seen, std::vector<UINT>{WM_EXITMENULOOP});

  ModalLevel = 0;
  DelayedAction Watchdog(5000, [] { PostQuitMessage(0); });
  App.Terminate();
  App.Run();
  EXPECT_FALSE(Watchdog.Ran());
}

TEST(MinAppRegistration, StillRegisteredObjectsAreFreedOnceInRegistrationOrder) {
  static std::string Log;
  struct Logged : TMinObject {
    char Name;
    explicit Logged(char Name) : Name(Name) {}
    ~Logged() override { Log += Name; }
  };
  auto App = std::make_unique<TMinApplication>("Registry");
  new Logged('A');
  delete new Logged('B');  // freed by its owner
  new Logged('C');
  // Objects of other kinds register by hand and must unregister themselves.
  auto Token = std::make_shared<int>();
  auto *Kept = new std::shared_ptr<int>(Token), *Gone = new std::shared_ptr<int>(Token);
  App->RegisterObject(Kept), App->RegisterObject(Gone), App->UnregisterObject(Gone);
  delete Gone;
  const HWND Window = App->Handle;
  App.reset();
  EXPECT_EQ(Log, "BAC");
  EXPECT_EQ(Token.use_count(), 1);
  // The window went without reaching the freed application: no stray quit.
  EXPECT_FALSE(IsWindow(Window));
  MSG Msg;
  EXPECT_FALSE(PeekMessageW(&Msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
