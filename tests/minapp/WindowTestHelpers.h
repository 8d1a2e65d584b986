// Helpers for the window framework tests: message pumping, and actions run
// from inside a nested loop (an open popup menu, input box or dialog).
#pragma once
#include <windows.h>

#include <functional>

void PumpMessages(DWORD Milliseconds);

// Runs Action once, Delay ms from now, from whatever message loop runs on this
// thread; cancelled if it has not run when the object goes.
class DelayedAction {
public:
  DelayedAction(UINT Delay, std::function<void()> Action);
  ~DelayedAction();
  bool Ran() const { return FRan; }

private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR Id, DWORD);
  UINT_PTR FTimer;
  std::function<void()> FAction;
  bool FRan = false;
};

// A key pressed in the popup menu on screen (class "#32768").
inline void PressMenuKey(WORD Key) {
  PostMessageW(FindWindowW(L"#32768", nullptr), WM_KEYDOWN, Key, 0);
  PostMessageW(FindWindowW(L"#32768", nullptr), WM_KEYUP, Key, 0xC0000000);
}
