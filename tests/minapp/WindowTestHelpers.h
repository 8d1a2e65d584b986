// Helpers for the window framework tests: message pumping, and actions run
// from inside a nested loop (an open popup menu, input box or dialog).
#pragma once
#include <windows.h>

#include <functional>

// Dispatches the thread's messages for the given time.
void PumpMessages(DWORD Milliseconds);

// Runs Action once, Delay ms from now, from whatever message loop is running
// on this thread. Cancelled if it has not run when the object goes.
class DelayedAction {
public:
  DelayedAction(UINT Delay, std::function<void()> Action);
  ~DelayedAction();
  DelayedAction(const DelayedAction&) = delete;
  DelayedAction& operator=(const DelayedAction&) = delete;
  bool Ran() const { return FRan; }

private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR Id, DWORD);
  UINT_PTR FTimer;
  std::function<void()> FAction;
  bool FRan = false;
};

// The popup menu on screen (a top-level window of class "#32768"), and a
// key pressed in it.
inline HMENU OpenMenu() {
  return reinterpret_cast<HMENU>(SendMessageW(FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0));
}
inline void PressMenuKey(WORD Key) {
  PostMessageW(FindWindowW(L"#32768", nullptr), WM_KEYDOWN, Key, 0);
  PostMessageW(FindWindowW(L"#32768", nullptr), WM_KEYUP, Key, 0xC0000000);
}
