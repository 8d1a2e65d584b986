#include "WindowTestHelpers.h"

#include <map>

#include "Files.h"

void PumpMessages(DWORD Milliseconds) {
  DWORD Start = GetTickCount();
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
}

DelayedAction::DelayedAction(UINT Delay, std::function<void()> Action)
    : FTimer(SetTimer(nullptr, 0, Delay, Fire)), FAction(std::move(Action)) {
  PendingActions[FTimer] = this;
}

DelayedAction::~DelayedAction() {
  if (!FRan) {
    KillTimer(nullptr, FTimer);
    PendingActions.erase(FTimer);
  }
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

HWND OpenMenuWindow() {
  struct Search {
    HWND Found = nullptr;
  } State;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND Window, LPARAM Param) -> BOOL {
        wchar_t Class[64] = {};
        GetClassNameW(Window, Class, 64);
        if (std::wstring(Class) == L"#32768" && IsWindowVisible(Window)) {
          reinterpret_cast<Search*>(Param)->Found = Window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&State));
  return State.Found;
}

HMENU OpenMenu() {
  HWND Window = OpenMenuWindow();
  return Window ? reinterpret_cast<HMENU>(SendMessageW(Window, MN_GETHMENU, 0, 0)) : nullptr;
}

std::string MenuText(HMENU Menu, int Position) {
  wchar_t Text[256] = {};
  GetMenuStringW(Menu, Position, Text, 256, MF_BYPOSITION);
  return WideToUtf8(Text);
}

void PressMenuKey(WORD Key) {
  HWND Window = OpenMenuWindow();
  PostMessageW(Window, WM_KEYDOWN, Key, 0);
  PostMessageW(Window, WM_KEYUP, Key, 0xC0000000);
}
