// Real threads under Wine: creation, start, ending, self-freeing, the
// hand-over of calls to the main thread and exceptions escaping Execute.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "Thread.h"

namespace {

// Runs a given body as Execute.
class TTestThread : public TThread {
public:
  TTestThread(bool CreateSuspended, std::function<void(TTestThread&)> Body,
              std::atomic<bool>* DestroyedFlag = nullptr)
      : TThread(CreateSuspended), Body(std::move(Body)), DestroyedFlag(DestroyedFlag) {
    AnyCreated = true;
  }
  ~TTestThread() override {
    TerminateAndWait();
    if (DestroyedFlag) {
      DestroyedOn = GetCurrentThreadId();
      *DestroyedFlag = true;
    }
  }

  using TThread::TerminateAndWait;
  std::atomic<int> ExecuteCalls{0};
  static inline std::atomic<DWORD> DestroyedOn{0};
  static inline bool AnyCreated = false;

protected:
  void Execute() override {
    ++ExecuteCalls;
    if (Body) Body(*this);
  }

private:
  std::function<void(TTestThread&)> Body;
  std::atomic<bool>* DestroyedFlag;
};

class Thread : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitThreadSynchronization(); }
};

TEST_F(Thread, CheckSynchronizeBeforeAnyThreadIsFalseEverywhere) {
  if (TTestThread::AnyCreated) GTEST_SKIP() << "needs a process without threads so far";
  EXPECT_FALSE(TThread::CheckSynchronize(0));
  HANDLE Plain = CreateThread(
      nullptr, 0,
      [](LPVOID) -> DWORD { return TThread::CheckSynchronize(0) ? 1 : 0; }, nullptr, 0, nullptr);
  ASSERT_NE(Plain, nullptr);
  WaitForSingleObject(Plain, INFINITE);
  DWORD ExitCode = 2;
  GetExitCodeThread(Plain, &ExitCode);
  EXPECT_EQ(ExitCode, 0u);  // not raised off the main thread either
  CloseHandle(Plain);
}

TEST_F(Thread, CreatedSuspendedRunsNothingUntilResumed) {
  auto* T = NewThread<TTestThread>(true, [](TTestThread& Self) { Self.ReturnValue = 42; });
  EXPECT_TRUE(T->Suspended);
  EXPECT_TRUE(T->InitialSuspended);
  EXPECT_NE(T->Handle, nullptr);
  EXPECT_NE(T->ThreadID, 0u);
  EXPECT_EQ(WaitForSingleObject(T->Handle, 100), DWORD(WAIT_TIMEOUT));
  EXPECT_EQ(T->ExecuteCalls, 0);

  // The exit code is the value Execute left, not one set afterwards.
  T->OnTerminate = [](TThread* Sender) { Sender->ReturnValue = 2; };
  T->Resume();
  EXPECT_FALSE(T->Suspended);
  EXPECT_EQ(T->WaitFor(), 42);
  EXPECT_EQ(T->ReturnValue, 2);
  EXPECT_EQ(T->ExecuteCalls, 1);
  EXPECT_TRUE(T->Finished);
  delete T;
}

TEST_F(Thread, DestroyingANeverResumedThreadSkipsExecuteButNotifies) {
  std::vector<DWORD> NotifiedOn;
  auto* T = NewThread<TTestThread>(true, nullptr);
  T->OnTerminate = [&](TThread* Sender) {
    EXPECT_EQ(Sender, T);
    NotifiedOn.push_back(GetCurrentThreadId());
  };
  delete T;  // resumes it, and serves the notification while waiting
  EXPECT_EQ(NotifiedOn, std::vector<DWORD>{MainThreadID});
}

TEST_F(Thread, ResumeOfAThreadSuspendedTwiceKeepsItSuspended) {
  auto* T = NewThread<TTestThread>(true, nullptr);
  ASSERT_EQ(SuspendThread(T->Handle), 1u);
  T->Resume();
  EXPECT_TRUE(T->Suspended);
  T->Resume();
  EXPECT_FALSE(T->Suspended);
  T->WaitFor();
  EXPECT_EQ(T->ExecuteCalls, 1);
  delete T;
}

TEST_F(Thread, StartsOnlyAfterConstructionAndStopsOnDestroy) {
  // The body polls Terminated; it only ends through the destructor.
  auto* T = NewThread<TTestThread>(false, [](TTestThread& Self) {
    while (!Self.Terminated) Sleep(1);
    Self.ReturnValue = 7;
  });
  EXPECT_FALSE(T->Suspended);
  for (int i = 0; i < 5000 && T->ExecuteCalls == 0; ++i) Sleep(1);
  EXPECT_EQ(T->ExecuteCalls, 1);
  EXPECT_FALSE(T->Finished);
  delete T;
}

TEST_F(Thread, DestroyWithoutAfterConstructionDoesNotHang) {
  delete new TTestThread(false, nullptr);
}

TEST_F(Thread, FreeOnTerminateFreesTheObjectOnItsOwnThread) {
  std::atomic<bool> Destroyed{false};
  HANDLE Go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD WorkerID = 0;
  auto* T = new TTestThread(false, [&](TTestThread&) { WaitForSingleObject(Go, INFINITE); }, &Destroyed);
  T->FreeOnTerminate = true;
  WorkerID = T->ThreadID;
  T->AfterConstruction();
  SetEvent(Go);
  for (int i = 0; i < 5000 && !Destroyed; ++i) Sleep(1);
  EXPECT_TRUE(Destroyed);
  EXPECT_EQ(TTestThread::DestroyedOn, WorkerID);
  CloseHandle(Go);
}

TEST_F(Thread, ExceptionInExecuteIsKeptInFatalException) {
  auto* T = NewThread<TTestThread>(false, [](TTestThread& Self) {
    Self.ReturnValue = 3;
    throw std::runtime_error("disk on fire");
  });
  EXPECT_EQ(T->WaitFor(), 3);
  ASSERT_TRUE(T->FatalException);
  try {
    std::rethrow_exception(T->FatalException);
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "disk on fire");
  }
  EXPECT_TRUE(T->Finished);
  delete T;
}

class ThreadSynchronize : public Thread {};

TEST_F(ThreadSynchronize, CallRunsOnTheMainThreadWhileItWaits) {
  std::vector<DWORD> RanOn;
  auto* T = NewThread<TTestThread>(false, [&](TTestThread& Self) {
    for (int i = 0; i < 3; ++i) Self.Synchronize([&] { RanOn.push_back(GetCurrentThreadId()); });
  });
  T->WaitFor();
  EXPECT_EQ(RanOn, std::vector<DWORD>(3, MainThreadID));
  delete T;
}

TEST_F(ThreadSynchronize, ExceptionOfTheCallIsRaisedInTheWorker) {
  std::string Caught;
  auto* T = NewThread<TTestThread>(false, [&](TTestThread& Self) {
    try {
      Self.Synchronize([] { throw std::runtime_error("refused"); });
    } catch (const std::runtime_error& E) {
      Caught = E.what();
    }
  });
  T->WaitFor();
  EXPECT_EQ(Caught, "refused");
  EXPECT_FALSE(T->FatalException);
  delete T;
}

TEST_F(ThreadSynchronize, CheckSynchronizeRunsAPendingCallAndReportsIt) {
  auto* T = NewThread<TTestThread>(false, [](TTestThread& Self) {
    Self.Synchronize([&Self] { Self.ReturnValue = 5; });
  });
  bool Ran = false;
  for (int i = 0; i < 100 && !Ran; ++i) Ran = TThread::CheckSynchronize(50);
  EXPECT_TRUE(Ran);
  EXPECT_FALSE(TThread::CheckSynchronize(0));  // nothing pending any more
  EXPECT_EQ(T->WaitFor(), 5);
  delete T;
}

TEST_F(ThreadSynchronize, CheckSynchronizeOffTheMainThreadRaises) {
  std::string Message;
  DWORD WorkerID = 0;
  auto* T = NewThread<TTestThread>(false, [&](TTestThread&) {
    WorkerID = GetCurrentThreadId();
    try {
      TThread::CheckSynchronize();
    } catch (const EThread& E) {
      Message = E.what();
    }
  });
  T->WaitFor();
  char Expected[80];
  snprintf(Expected, sizeof Expected, "CheckSynchronize called from non-main thread \"$%lx\"",
           static_cast<unsigned long>(WorkerID));
  EXPECT_EQ(Message, Expected);
  delete T;
}

// A worker sending a message to a window of the main thread must not
// deadlock against the main thread waiting for it.
TEST_F(ThreadSynchronize, WaitForDeliversMessagesSentFromTheWorker) {
  HWND Window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(Window, nullptr);
  auto* T = NewThread<TTestThread>(false, [&](TTestThread& Self) {
    Self.ReturnValue = SendMessageW(Window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sent")) ? 1 : 0;
  });
  EXPECT_EQ(T->WaitFor(), 1);
  wchar_t Text[16] = {};
  GetWindowTextW(Window, Text, 16);
  EXPECT_STREQ(Text, L"sent");
  delete T;
  DestroyWindow(Window);
}

}  // namespace
