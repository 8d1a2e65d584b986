#include "WindowTestHelpers.h"

#include <map>

static std::map<UINT_PTR, DelayedAction*> Pending;

void PumpMessages(DWORD Milliseconds) {
  for (const DWORD Start = GetTickCount(); GetTickCount() - Start < Milliseconds;) {
    MSG Msg;
    while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&Msg), DispatchMessageW(&Msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

DelayedAction::DelayedAction(UINT Delay, std::function<void()> Action)
    : FTimer(SetTimer(nullptr, 0, Delay, Fire)), FAction(std::move(Action)) {
  Pending[FTimer] = this;
}

DelayedAction::~DelayedAction() {
  if (!FRan) KillTimer(nullptr, FTimer), Pending.erase(FTimer);
}

void CALLBACK DelayedAction::Fire(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  if (auto Node = Pending.extract(Id)) Node.mapped()->FRan = true, Node.mapped()->FAction();
}
