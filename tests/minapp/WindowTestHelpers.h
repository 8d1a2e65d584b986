// Helpers for the window framework tests: message pumping, and actions run
// from inside a nested loop (an open popup menu, input box or dialog).
#pragma once
#include <windows.h>

#include <functional>
#include <map>

inline void PumpMessages(DWORD Milliseconds) {
  for (const DWORD Start = GetTickCount(); GetTickCount() - Start < Milliseconds;) {
    MSG Msg;
    while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&Msg), DispatchMessageW(&Msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Runs Action once, Delay ms from now, from whatever message loop runs on this
// thread; cancelled if it has not run when the object goes.
class DelayedAction {
 public:
  DelayedAction(UINT Delay, std::function<void()> Action)
      : FTimer(SetTimer(nullptr, 0, Delay, Fire)), FAction(std::move(Action)) {
    Pending[FTimer] = this;
  }
  ~DelayedAction() {
    if (!FRan) KillTimer(nullptr, FTimer), Pending.erase(FTimer);
  }
  bool Ran() const { return FRan; }

 private:
  inline static std::map<UINT_PTR, DelayedAction*> Pending;
  static void CALLBACK Fire(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    if (auto Node = Pending.extract(Id)) Node.mapped()->FRan = true, Node.mapped()->FAction();
  }
  UINT_PTR FTimer;
  std::function<void()> FAction;
  bool FRan = false;
};
