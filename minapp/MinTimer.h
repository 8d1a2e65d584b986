#pragma once
#include <windows.h>

#include <functional>

#include "MinApp.h"

using TMinTimerEvent = std::function<void()>;

// Periodic timer on the application's hidden window. It ticks in every
// loop that dispatches the window's messages: the program's own, a menu's,
// a message box's or the file dialog's.
class TMinTimer {
 public:
  TMinTimer(bool Enabled, TMinTimerEvent OnTimer, UINT Interval);
  // Stops the system timer before the object goes, also when the
  // application object has gone before it.
  virtual ~TMinTimer();
  TMinTimer(const TMinTimer&) = delete;
  TMinTimer& operator=(const TMinTimer&) = delete;

  // Period in milliseconds, read when the timer is started.
  UINT Interval;
  TMinTimerEvent OnTimer;

  bool Enabled() const { return IsEnabled; }
  // Starts or stops the timer; nothing happens when the state does not
  // change, and nothing starts without an application object.
  void SetEnabled(bool Value);

 private:
  static void CALLBACK Tick(HWND Window, UINT Message, UINT_PTR Event, DWORD Time);

  bool IsEnabled = false;
  UINT_PTR SystemTimer = 0;
  // The window the system timer was set on.
  HWND Window = nullptr;
};
