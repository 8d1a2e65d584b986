// What a handler throws stops at the boundary with Windows: the application
// is told, and the loop goes on with the next event.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "MinApp.h"
#include "MinTimer.h"

namespace {
class TFailingApplication : public TMinApplication {
 public:
  TFailingApplication() : TMinApplication("Failing") {}

 protected:
  LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override {
    if (Msg == WM_APP) throw std::runtime_error("message");
    return TMinApplication::HandleMessage(Msg, WParam, LParam);
  }
};
}  // namespace

TEST(MinAppEvents, AThrowingTimerOrMessageHandlerIsToldAndTheLoopGoesOn) {
  std::vector<std::string> Told;
  TFailingApplication App;
  App.OnEventFailed = [&](const std::string& What) { Told.push_back(What); };
  TMinTimer Failing(true, {}, 10);
  Failing.OnTimer = [&] {
    Failing.SetEnabled(false);
    throw std::bad_alloc();
  };
  TMinTimer Quit(
      true, [&] { App.Terminate(); }, 300);
  PostMessageW(App.Handle, WM_APP, 0, 0);
  App.Run();
  EXPECT_EQ(Told, (std::vector<std::string>{"message", "std::bad_alloc"}));
}
