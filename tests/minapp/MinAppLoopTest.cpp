// The hidden application window and its loop, and the objects the
// application frees when it goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "MinApp.h"
#include "WindowTestHelpers.h"

namespace {

TEST(MinAppLoop, HookAnsweringDestroyKeepsTheLoopRunning) {
  TMinApplication App("Loop", [](HWND, UINT Msg, WPARAM, LPARAM) { return LRESULT(Msg == WM_DESTROY); });
  bool DestroyedButRunning = false;
  DelayedAction Quit(300, [&] {
    DestroyedButRunning = !IsWindow(App.Handle);
    PostQuitMessage(0);
  });
  App.Terminate();
  App.Run();
  EXPECT_TRUE(DestroyedButRunning);
}

TEST(MinAppLoop, TerminateEndsRunButNotWhileAnInputBoxIsOpen) {
  std::vector<UINT> Seen;
  TMinApplication App("Loop", [&](HWND, UINT Msg, WPARAM, LPARAM) { return Seen.push_back(Msg), LRESULT(0); });
  // A hook given to the constructor sees the creation messages.
  EXPECT_NE(std::find(Seen.begin(), Seen.end(), UINT(WM_CREATE)), Seen.end());
  Seen.clear();
  ModalLevel = 1;
  App.Terminate();
  PumpMessages(100);
  EXPECT_TRUE(IsWindow(App.Handle));
  // Not even the default answer: the session may not end now.
  EXPECT_EQ(SendMessageW(App.Handle, WM_QUERYENDSESSION, 0, 0), 0);
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
  EXPECT_FALSE(IsWindow(App.Handle));
}

TEST(MinAppRegistration, StillRegisteredObjectsAreFreedOnceInRegistrationOrder) {
  struct Logged : TMinObject {
    Logged(std::vector<std::string>& Log, std::string Name) : Log(Log), Name(std::move(Name)) {}
    ~Logged() override { Log.push_back(Name); }
    std::vector<std::string>& Log;
    std::string Name;
  };
  std::vector<std::string> Log;
  auto App = std::make_unique<TMinApplication>("Registry");
  auto* A = new Logged(Log, "A");
  auto* B = new Logged(Log, "B");
  auto* C = new Logged(Log, "C");
  // Objects of other kinds register by hand and must unregister themselves.
  auto Token = std::make_shared<int>();
  auto* Kept = new std::shared_ptr<int>(Token);
  App->RegisterObject(Kept);
  auto* Gone = new std::shared_ptr<int>(Token);
  App->RegisterObject(Gone);
  App->UnregisterObject(Gone);
  delete Gone;
  delete B;  // freed by its owner
  EXPECT_EQ(App->RegisteredObjects(), (std::vector<const void*>{A, C, Kept}));
  const HWND Window = App->Handle;
  App.reset();
  EXPECT_EQ(Log, (std::vector<std::string>{"B", "A", "C"}));
  EXPECT_EQ(Token.use_count(), 1);
  // The window went without reaching the freed application: no stray quit.
  EXPECT_FALSE(IsWindow(Window));
  MSG Msg;
  EXPECT_FALSE(PeekMessageW(&Msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
