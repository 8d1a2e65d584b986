#include "MinTimer.h"

TMinTimer::TMinTimer(bool Enabled, TMinTimerEvent OnTimer, UINT Interval)
    : Interval(Interval), OnTimer(std::move(OnTimer)) {
  SetEnabled(Enabled);
}

TMinTimer::~TMinTimer() { SetEnabled(false); }

void TMinTimer::SetEnabled(bool Value) {
  if (IsEnabled == Value || (Value && !Application)) return;
  IsEnabled = Value;
  // The object itself is the event identifier, so the callback finds it.
  const auto Event = reinterpret_cast<UINT_PTR>(this);
  if (Value) {
    // Without the hidden window SetTimer would pick an identifier of its own
    // and the callback could not find the object: behave as a failed start.
    Window = Application->Handle;
    SystemTimer = Window ? SetTimer(Window, Event, Interval, Tick) : 0;
  } else if (SystemTimer) {
    // Harmless when the window is gone already: its timers went with it.
    KillTimer(Window, Event);
    SystemTimer = 0;
  }
}

void CALLBACK TMinTimer::Tick(HWND, UINT, UINT_PTR Event, DWORD) {
  if (!Application) return;
  auto* Timer = reinterpret_cast<TMinTimer*>(Event);
  if (Timer->OnTimer) HandleEvent([Timer] { Timer->OnTimer(); });
}
