// One instance per session: a second start hands over to the running one.
#include <gtest/gtest.h>

#include "Scoped.h"
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
  HANDLE get() const { return Process.get(); }
  bool Running() const { return Process && WaitForSingleObject(Process.get(), 0) == WAIT_TIMEOUT; }
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

// An instance still starting owns the session's mutex but has no window yet:
// a new start waits for it, gives way, and takes over when it ends first.
TEST(TrayAppInstance, AStartWaitsForOneStillStartingAndTakesOverWhenItEnds) {
  const TrayAppRun Setup("e2estarting");  // no volumes, no leftovers
  const std::string Program = WineDosPath(TRAYVM_EXE);
  const TKernelHandle Starting(CreateMutexW(nullptr, TRUE, L"Local\\TrayVolumeMounter.Instance"));
  ASSERT_TRUE(Starting);
  const ProgramStart GivesWay(Program);
  GivesWay.Resume();
  EXPECT_EQ(GivesWay.WaitForExit(15000), 0);

  const ProgramStart TakesOver(Program);
  TakesOver.Resume();
  Sleep(500);
  ReleaseMutex(Starting.get());
  EXPECT_TRUE(WaitUntil([] { return ApplicationWindowCount() == 1; }, 15000));
  EXPECT_TRUE(TakesOver.Running());
}
