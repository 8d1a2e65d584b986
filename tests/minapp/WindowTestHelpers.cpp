#include "WindowTestHelpers.h"

#include <map>

void PumpMessages(DWORD Milliseconds) {
  const DWORD Start = GetTickCount();
  do {
    MSG Msg;
    while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&Msg);
      DispatchMessageW(&Msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - Start < Milliseconds);
}

namespace {

std::map<UINT_PTR, DelayedAction*> PendingActions;

}  // namespace

DelayedAction::DelayedAction(UINT Delay, std::function<void()> Action)
    : FTimer(SetTimer(nullptr, 0, Delay, Fire)), FAction(std::move(Action)) {
  PendingActions[FTimer] = this;
}

DelayedAction::~DelayedAction() {
  if (FRan) return;
  KillTimer(nullptr, FTimer);
  PendingActions.erase(FTimer);
}

void CALLBACK DelayedAction::Fire(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  auto Found = PendingActions.find(Id);
  if (Found == PendingActions.end()) return;
  DelayedAction* Self = Found->second;
  PendingActions.erase(Found);
  Self->FRan = true;
  Self->FAction();
}
