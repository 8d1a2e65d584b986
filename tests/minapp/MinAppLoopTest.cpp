// The hidden application window and its loop, and the objects the
// application frees when it goes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MinApp.h"
#include "MinTrayIcon.h"
#include "WindowTestHelpers.h"

namespace {

// Ends a Run that is still going after the time a test allows it.
struct RunWatchdog {
  bool Fired = false;
  DelayedAction Action{5000, [this] {
                         Fired = true;
                         PostQuitMessage(0);
                       }};
};

TEST(MinAppLoop, HiddenToolWindowOfItsOwnClass) {
  std::vector<UINT> Seen;
  TMinApplication App("Loop", [&](HWND, UINT Msg, WPARAM, LPARAM) {
    Seen.push_back(Msg);
    return LRESULT(0);
  });
  ASSERT_NE(App.Handle, nullptr);
  EXPECT_EQ(Application, &App);

  wchar_t Class[64] = {};
  GetClassNameW(App.Handle, Class, 64);
  EXPECT_STREQ(Class, L"PelmoMinApplicationClass");
  EXPECT_TRUE(GetWindowLongPtrW(App.Handle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  // A hook given to the constructor sees the creation messages.
  EXPECT_NE(std::find(Seen.begin(), Seen.end(), UINT(WM_CREATE)), Seen.end());
}

TEST(MinAppLoop, TerminateEndsRun) {
  TMinApplication App("Loop");
  RunWatchdog Watchdog;
  App.Terminate();
  App.Run();
  EXPECT_FALSE(Watchdog.Fired);
  EXPECT_FALSE(IsWindow(App.Handle));
}

TEST(MinAppLoop, HookAnsweringDestroyKeepsTheLoopRunning) {
  TMinApplication App("Loop", [](HWND, UINT Msg, WPARAM, LPARAM) { return LRESULT(Msg == WM_DESTROY); });
  bool DestroyedButRunning = false;
  DelayedAction Quit(300, [&] {
    DestroyedButRunning = !IsWindow(App.Handle);
    PostQuitMessage(0);
  });
  App.Terminate();
  App.Run();
  EXPECT_TRUE(Quit.Ran());
  EXPECT_TRUE(DestroyedButRunning);
}

TEST(MinAppLoop, OpenInputBoxSilencesTheWindow) {
  std::vector<UINT> Seen;
  TMinApplication App("Loop", [&](HWND, UINT Msg, WPARAM, LPARAM) {
    Seen.push_back(Msg);
    return LRESULT(0);
  });
  Seen.clear();
  ModalLevel = 1;
  App.Terminate();
  PumpMessages(100);
  EXPECT_TRUE(IsWindow(App.Handle));
  // Not even the default answer: the session may not end now.
  EXPECT_EQ(SendMessageW(App.Handle, WM_QUERYENDSESSION, 0, 0), 0);
  EXPECT_TRUE(Seen.empty());
  // The menu clean-up notice still gets through.
  InMenuLoop = true;
  PostMessageW(App.Handle, WM_EXITMENULOOP, MenuCleanupNotice, 1);
  PumpMessages(50);
  EXPECT_FALSE(InMenuLoop);
  EXPECT_EQ(Seen, std::vector<UINT>{WM_EXITMENULOOP});

  ModalLevel = 0;
  RunWatchdog Watchdog;
  App.Terminate();
  App.Run();
  EXPECT_FALSE(Watchdog.Fired);
  EXPECT_NE(std::find(Seen.begin(), Seen.end(), UINT(WM_CLOSE)), Seen.end());
}

TEST(MinAppLoop, TaskbarCreatedReachesTheTrayIconsPastTheHook) {
  std::vector<UINT> Seen;
  TMinApplication App("Loop", [&](HWND, UINT Msg, WPARAM, LPARAM) {
    Seen.push_back(Msg);
    return LRESULT(1);
  });
  auto* Icon = new TMinTrayIcon(LoadIconW(nullptr, IDI_APPLICATION), true, "Loop");
  Icon->SetShown(true);
  // As if the shell had restarted and lost the icon.
  NOTIFYICONDATAW Record = Icon->ShellRecord(NIM_DELETE);
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &Record));
  ASSERT_FALSE(Icon->ShowBalloon("Title", "Text", 2000, bkInfo));

  SendMessageW(App.Handle, TaskbarCreatedMessage, 0, 0);
  EXPECT_TRUE(Icon->ShowBalloon("Title", "Text", 2000, bkInfo));
  EXPECT_EQ(std::find(Seen.begin(), Seen.end(), TaskbarCreatedMessage), Seen.end());
}

TEST(MinAppLoop, WindowOutlivingTheApplicationPostsNoQuit) {
  HWND Window;
  {
    TMinApplication App("Loop");
    Window = App.Handle;
  }
  EXPECT_EQ(Application, nullptr);
  EXPECT_FALSE(IsWindow(Window));
  MSG Msg;
  EXPECT_FALSE(PeekMessageW(&Msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Writes its name to a log when freed.
class LoggedObject : public TMinObject {
public:
  LoggedObject(std::vector<std::string>& Log, std::string Name) : FLog(Log), FName(std::move(Name)) {}
  ~LoggedObject() override { FLog.push_back(FName); }

private:
  std::vector<std::string>& FLog;
  std::string FName;
};

TEST(MinAppRegistration, StillRegisteredObjectsAreFreedInRegistrationOrder) {
  std::vector<std::string> Log;
  auto App = std::make_unique<TMinApplication>("Registry");
  auto* A = new LoggedObject(Log, "A");
  auto* B = new LoggedObject(Log, "B");
  auto* C = new LoggedObject(Log, "C");
  EXPECT_EQ(App->RegisteredObjects(), (std::vector<const void*>{A, B, C}));

  delete B;  // freed by its owner
  EXPECT_EQ(App->RegisteredObjects(), (std::vector<const void*>{A, C}));
  App.reset();
  EXPECT_EQ(Log, (std::vector<std::string>{"B", "A", "C"}));
}

TEST(MinAppRegistration, OtherObjectsRegisterAndUnregisterThemselves) {
  struct Plain {
    int& Frees;
    ~Plain() { ++Frees; }
  };
  int FreesKept = 0, FreesGone = 0;
  auto App = std::make_unique<TMinApplication>("Registry");
  auto* Kept = new Plain{FreesKept};
  auto* Gone = new Plain{FreesGone};
  App->RegisterObject(Kept);
  App->RegisterObject(Gone);
  App->UnregisterObject(Gone);
  delete Gone;
  App->UnregisterObject(Gone);  // not there any more: nothing happens
  App.reset();
  EXPECT_EQ(FreesKept, 1);
  EXPECT_EQ(FreesGone, 1);
}

}  // namespace
