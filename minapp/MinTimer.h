#pragma once
#include <windows.h>

#include <functional>

#include "MinApp.h"

class TMinTimer;
using TMinTimerEvent = std::function<void(TMinTimer* Sender)>;

// Periodic timer on the application's hidden window. Its handler is never
// called while a popup menu or an input box is open: such ticks are dropped,
// not delayed.
class TMinTimer : public TMinObject {
public:
  TMinTimer(bool Enabled, TMinTimerEvent OnTimer, UINT Interval);
  // Stops the system timer before the object goes.
  ~TMinTimer() override;

  // Period in milliseconds, read when the timer is started.
  UINT Interval;
  TMinTimerEvent OnTimer;

  bool Enabled() const { return IsEnabled; }
  // Starts or stops the timer; nothing happens without an application
  // object or when the state does not change.
  void SetEnabled(bool Value);
  // What SetTimer returned; 0 while stopped.
  UINT_PTR TimerID() const { return SystemTimer; }

private:
  static void CALLBACK Tick(HWND Window, UINT Message, UINT_PTR Event, DWORD Time);

  bool IsEnabled = false;
  UINT_PTR SystemTimer = 0;
};
