// Real threads under Wine: start, ending, and exceptions escaping Execute.
#include <gtest/gtest.h>

#include <functional>

#include "Thread.h"

namespace {

// Runs a given body as Execute.
struct TTestThread : TThread {
  explicit TTestThread(std::function<void(TTestThread&)> Body) : Body(std::move(Body)) {}
  ~TTestThread() override { TerminateAndWait(); }
  void Execute() override {
    if (Body) Body(*this);
  }
  std::function<void(TTestThread&)> Body;
};

TEST(Thread, ExitCodeIsTheReturnValueAndTheExceptionOfExecuteIsKept) {
  auto* T = NewThread<TTestThread>([](TTestThread& Self) {
    Self.ReturnValue = 42;
    throw std::runtime_error("disk on fire");
  });
  EXPECT_EQ(T->WaitFor(), 42);
  EXPECT_THROW(std::rethrow_exception(T->FatalException), std::runtime_error);
  delete T;
}

TEST(Thread, DestroyingStopsRunningAndNeverStartedThreads) {
  auto* T = NewThread<TTestThread>([](TTestThread& Self) {
    while (!Self.Terminated) Sleep(1);
  });
  Sleep(50);
  delete T;                         // only ends through Terminated
  delete new TTestThread(nullptr);  // AfterConstruction never called: no hang
}

// A worker that sends to a window of the waiting thread does not deadlock.
TEST(Thread, SentMessagesAreServedByWaitFor) {
  HWND Window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  auto* T = NewThread<TTestThread>(
      [&](TTestThread& Self) { Self.ReturnValue = int(SendMessageW(Window, WM_SETTEXT, 0, LPARAM(L"sent"))); });
  EXPECT_EQ(T->WaitFor(), 1);
  EXPECT_FALSE(T->FatalException);
  delete T;
  DestroyWindow(Window);
}

}  // namespace
