// One instance per user: a second start hands over to the running one, or
// says that it gets no answer.
#include <gtest/gtest.h>

#include <memory>

#include "SingleInstance.h"
#include "Text.h"
#include "TrayAppRun.h"
#include "WineDrives.h"

namespace {

constexpr wchar_t ApplicationClass[] = L"PelmoMinApplicationClass";

// Hidden application windows of every process on the desktop.
int ApplicationWindowCount() {
  int Count = 0;
  EnumWindows(
      [](HWND W, LPARAM L) -> BOOL {
        wchar_t Class[64] = {};
        GetClassNameW(W, Class, 64);
        if (std::wstring(Class) == ApplicationClass) ++*reinterpret_cast<int*>(L);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Count));
  return Count;
}

std::string ImageOf(HWND Window) {
  DWORD Pid = 0;
  GetWindowThreadProcessId(Window, &Pid);
  const TKernelHandle Process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, Pid));
  wchar_t Path[MAX_PATH];
  DWORD Size = MAX_PATH;
  return Process && QueryFullProcessImageNameW(Process.get(), 0, Path, &Size) ? WideToUtf8(Path) : std::string();
}

// A start of the program, created suspended so that starts can be released
// together; ended when the test is done with it.
class ProgramStart {
 public:
  explicit ProgramStart(const std::string& Program) {
    STARTUPINFOW Startup{};
    Startup.cb = sizeof Startup;
    std::wstring CommandLine = L"\"" + Utf8ToWide(Program) + L"\"";
    PROCESS_INFORMATION Info{};
    if (!CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &Startup, &Info))
      return;
    Process.reset(Info.hProcess);
    Thread.reset(Info.hThread);
  }
  ~ProgramStart() {
    if (Running()) TerminateProcess(Process.get(), 99);
    WaitForSingleObject(Process.get(), 5000);
  }
  void Resume() const { ResumeThread(Thread.get()); }
  void Suspend() const { SuspendThread(Thread.get()); }
  HANDLE get() const { return Process.get(); }
  bool Running() const { return Process && WaitForSingleObject(Process.get(), 0) == WAIT_TIMEOUT; }
  // A start that got no answer shows a box; closing it ends the start.
  bool SaysItGetsNoAnswer() const {
    struct Query {
      DWORD Pid;
      HWND Box = nullptr;
    } Q{GetProcessId(Process.get())};
    auto FindBox = [](HWND W, LPARAM L) -> BOOL {
      auto* Q = reinterpret_cast<Query*>(L);
      DWORD Pid = 0;
      wchar_t Class[16] = {};
      GetWindowThreadProcessId(W, &Pid);
      GetClassNameW(W, Class, 16);
      if (Pid == Q->Pid && std::wstring(Class) == L"#32770" && IsWindowVisible(W)) Q->Box = W;
      return !Q->Box;
    };
    if (!WaitUntil([&] { return !EnumWindows(FindBox, reinterpret_cast<LPARAM>(&Q)) || Q.Box; }, 15000)) return false;
    PostMessageW(Q.Box, WM_COMMAND, IDOK, 0);
    return WaitForExit(5000) == 1;
  }
  // The exit code, or -1 while it runs on after TimeoutMs.
  int WaitForExit(DWORD TimeoutMs) const {
    DWORD Code = 0;
    if (WaitForSingleObject(Process.get(), TimeoutMs) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(Process.get(), &Code);
    return static_cast<int>(Code);
  }

 private:
  TKernelHandle Process, Thread;
};

}  // namespace

TEST(TrayAppInstance, ASecondStartEndsAndTheRunningOneSaysSo) {
  TrayAppRun App("e2eonce");
  App.WriteSettings();
  ASSERT_TRUE(App.Start());
  const HWND Earlier = TrayAppRun::VisibleBalloon();
  const ProgramStart Second(ImageOf(App.Window()));
  ASSERT_NE(Second.get(), nullptr);
  Second.Resume();
  EXPECT_EQ(Second.WaitForExit(5000), 0);
  EXPECT_EQ(ApplicationWindowCount(), 1);
  EXPECT_TRUE(TrayAppRun::WaitForBalloon("Already running", Earlier));
  EXPECT_TRUE(App.Running());
}

// An instance still starting holds the user's lock but has no window yet: a
// new start waits for it and says it gets no answer, or takes over when it
// ends first. A running instance that hangs gets the same notice.
TEST(TrayAppInstance, AStartWithoutAnAnswerSaysSoAndTakesOverWhenTheHolderEnds) {
  const TrayAppRun Setup("e2estarting");  // no volumes, no leftovers
  const std::string Program = WineDosPath(TRAYVM_EXE);
  auto Starting = std::make_unique<TInstanceLock>();
  ASSERT_FALSE(Starting->HeldElsewhere());
  const ProgramStart GivesWay(Program);
  GivesWay.Resume();
  EXPECT_TRUE(GivesWay.SaysItGetsNoAnswer());

  const ProgramStart TakesOver(Program);
  TakesOver.Resume();
  Sleep(500);
  Starting.reset();
  ASSERT_TRUE(WaitUntil([] { return ApplicationWindowCount() == 1; }, 15000));
  EXPECT_TRUE(TakesOver.Running());

  TakesOver.Suspend();
  const ProgramStart Later(Program);
  Later.Resume();
  EXPECT_TRUE(Later.SaysItGetsNoAnswer());
}
