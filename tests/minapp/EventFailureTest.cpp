// What a handler throws stops at the boundary with Windows: the application
// is told, and the loop goes on with the next event.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "MinApp.h"
#include "MinTimer.h"

namespace {
void ThrowOnce(TMinTimer* Self) {
  Self->SetEnabled(false);
  throw std::bad_alloc();
}
}  // namespace

TEST(MinAppEvents, AThrowingTimerOrMessageHandlerIsToldAndTheLoopGoesOn) {
  std::vector<std::string> Told;
  TMinApplication App("Failing", [](HWND, UINT Msg, WPARAM, LPARAM) -> LRESULT {
    if (Msg == WM_APP) throw std::runtime_error("message");
    return 0;
  });
  App.OnEventFailed = [&](const std::string& What) { Told.push_back(What); };
  TMinTimer Failing(true, ThrowOnce, 10);
  TMinTimer Quit(
      true, [&](TMinTimer*) { App.Terminate(); }, 300);
  PostMessageW(App.Handle, WM_APP, 0, 0);
  App.Run();
  EXPECT_EQ(Told, (std::vector<std::string>{"message", "std::bad_alloc"}));
}
