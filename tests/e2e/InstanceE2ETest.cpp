// One instance per user: a second start hands over to the running one, or
// says that it gets no answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "SingleInstance.h"
#include "Text.h"
#include "TrayAppRun.h"
#include "WineDrives.h"

namespace {

// Hidden application windows of every process on the desktop.
long ApplicationWindowCount() {
  const std::vector<HWND> All = TopLevelWindows();
  return std::count_if(All.begin(), All.end(), [](HWND W) { return ClassOf(W) == "PelmoMinApplicationClass"; });
}

// A start of the program, created suspended so that starts can be released
// together; ended when the test is done with it.
class ProgramStart {
 public:
  explicit ProgramStart(const std::string& Program) {
    STARTUPINFOW Startup{sizeof Startup};
    std::wstring CommandLine = L"\"" + Utf8ToWide(Program) + L"\"";
    PROCESS_INFORMATION Info{};
    CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &Startup,
                   &Info);
    Process.reset(Info.hProcess), Thread.reset(Info.hThread);
  }
  ~ProgramStart() {
    if (Running()) TerminateProcess(Process.get(), 99);
    WaitForSingleObject(Process.get(), 5000);
  }
  void Resume() const { ResumeThread(Thread.get()); }
  void Suspend() const { SuspendThread(Thread.get()); }
  bool Running() const { return Process && WaitForSingleObject(Process.get(), 0) == WAIT_TIMEOUT; }
  // A start that got no answer shows a box; closing it ends the start.
  bool SaysItGetsNoAnswer() const {
    HWND Box = nullptr;
    if (!WaitUntil([&] { return (Box = WindowOf(GetProcessId(Process.get()), "#32770", true)) != nullptr; }, 15000))
      return false;
    PostMessageW(Box, WM_COMMAND, IDOK, 0);
    return WaitForExit(5000) == 1;
  }
  int WaitForExit(DWORD TimeoutMs) const { return ExitCodeWithin(Process.get(), TimeoutMs); }

 private:
  TKernelHandle Process, Thread;
};

}  // namespace

TEST(TrayAppInstance, ASecondStartEndsAndTheRunningOneSaysSo) {
  TrayAppRun App("e2eonce");
  App.WriteSettings();
  ASSERT_TRUE(App.Start());
  const HWND Earlier = TrayAppRun::VisibleBalloon();
  const ProgramStart Second(App.ProgramPath());
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
