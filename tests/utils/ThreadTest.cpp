// Real threads under Wine: creation, start, ending, self-freeing, the
// hand-over of calls to the main thread and exceptions escaping Execute.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "Thread.h"

namespace {

// Runs a given body as Execute; OnDestroy runs at the end of the destructor.
struct TTestThread : TThread {
  TTestThread(bool CreateSuspended, std::function<void(TTestThread&)> Body, std::function<void()> OnDestroy = {})
      : TThread(CreateSuspended), Body(std::move(Body)), OnDestroy(std::move(OnDestroy)) {}
  ~TTestThread() override {
    TerminateAndWait();
    if (OnDestroy) OnDestroy();
  }
  void Execute() override { if (Body) Body(*this); }
  std::function<void(TTestThread&)> Body;
  std::function<void()> OnDestroy;
};

class Thread : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitThreadSynchronization(); }
};

TEST_F(Thread, CreatedSuspendedRunsOnceResumedAndKeepsTheExceptionOfExecute) {
  auto* T = NewThread<TTestThread>(true, [](TTestThread& Self) {
    Self.ReturnValue = 42;
    throw std::runtime_error("disk on fire");
  });
  EXPECT_EQ(WaitForSingleObject(T->Handle, 100), DWORD(WAIT_TIMEOUT));
  ASSERT_EQ(SuspendThread(T->Handle), 1u);  // suspended twice: one Resume is not enough
  T->Resume();
  EXPECT_TRUE(T->Suspended);
  // The exit code is the value Execute left, not one set afterwards.
  T->OnTerminate = [](TThread* Sender) { Sender->ReturnValue = 2; };
  T->Resume();
  EXPECT_EQ(T->WaitFor(), 42);
  EXPECT_EQ(T->ReturnValue, 2);
  EXPECT_THROW(std::rethrow_exception(T->FatalException), std::runtime_error);
  delete T;
}

TEST_F(Thread, DestroyingStopsNeverResumedRunningAndNeverStartedThreads) {
  std::vector<DWORD> NotifiedOn;
  auto* T = NewThread<TTestThread>(true, nullptr);
  T->OnTerminate = [&](TThread*) { NotifiedOn.push_back(GetCurrentThreadId()); };
  delete T;  // resumes it, and serves the notification while waiting
  EXPECT_EQ(NotifiedOn, std::vector<DWORD>{MainThreadID});
  T = NewThread<TTestThread>(false, [](TTestThread& Self) { while (!Self.Terminated) Sleep(1); });
  Sleep(50);
  delete T;  // only ends through Terminated
  delete new TTestThread(false, nullptr);  // AfterConstruction never called: no hang
}

TEST_F(Thread, FreeOnTerminateFreesTheObjectOnItsOwnThread) {
  std::atomic<DWORD> DestroyedOn{0};
  auto* T = new TTestThread(false, nullptr, [&] { DestroyedOn = GetCurrentThreadId(); });
  T->FreeOnTerminate = true;  // before the start: the thread may end at once
  const DWORD WorkerID = T->ThreadID;
  T->AfterConstruction();
  for (int i = 0; i < 5000 && !DestroyedOn; ++i) Sleep(1);
  EXPECT_EQ(DestroyedOn, WorkerID);
}

// WaitFor on the main thread serves synchronised calls, and messages the
// worker sends to a main-thread window, without deadlock.
TEST_F(Thread, SynchronizeAndSentMessagesAreServedByWaitFor) {
  HWND Window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  std::vector<DWORD> RanOn;
  auto* T = NewThread<TTestThread>(false, [&](TTestThread& Self) {
    for (int i = 0; i < 3; ++i) Self.Synchronize([&] { RanOn.push_back(GetCurrentThreadId()); });
    Self.ReturnValue = int(SendMessageW(Window, WM_SETTEXT, 0, LPARAM(L"sent")));
    EXPECT_THROW(Self.Synchronize([] { throw std::runtime_error("refused"); }), std::runtime_error);  // raised again here
    EXPECT_THROW(TThread::CheckSynchronize(), EThread);  // main thread only
  });
  EXPECT_EQ(T->WaitFor(), 1);
  EXPECT_EQ(RanOn, std::vector<DWORD>(3, MainThreadID));
  EXPECT_FALSE(T->FatalException);
  delete T;
  DestroyWindow(Window);
}

}  // namespace
