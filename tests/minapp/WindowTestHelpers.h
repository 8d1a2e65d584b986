// Helpers for the window framework tests: message pumping, actions run from
// inside a nested loop (an open popup menu), and a look at the popup menu
// that is on screen.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Dispatches the thread's messages for the given time.
void PumpMessages(DWORD Milliseconds);

// Runs Action once, Delay ms from now, from whatever message loop is running
// on this thread (also a popup menu's). Cancelled if it has not run when the
// object goes.
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

// The popup menu window of this thread that is on screen, or nullptr.
HWND OpenMenuWindow();
// The menu shown in that window, or nullptr.
HMENU OpenMenu();
// Text of the menu entry at Position.
std::string MenuText(HMENU Menu, int Position);
// Presses a key in the open popup menu.
void PressMenuKey(WORD Key);
