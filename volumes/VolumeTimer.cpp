#include "VolumeTimer.h"

#include "Scoped.h"
#include "VolumeControl.h"

TTCTimer::TTCTimer(TVolumeControl& Control)
    : TMinTimer(
          false, [this](TMinTimer*) { Tick(); }, VolumeTimerInterval),
      Control(Control) {}

void TTCTimer::Tick() {
  SetEnabled(false);
  RunTime = RunTime > Interval ? RunTime - Interval : 0;
  // Restarted however the pass ends; an exception travels on afterwards.
  ScopeExit Restart([this] { SetEnabled(PendingCount > 0 || RunTime > 0); });
  // A pass waiting in a prompt or the program dialog holds an entry of
  // Volumes: a refresh now would replace the list under it.
  if (Control.Busy()) return;
  Control.RefreshVolumes();
  Control.ProcessVolumes();
}

void TTCTimer::KeepPolling(uint32_t Milliseconds) {
  if (RunTime < Milliseconds) {
    RunTime = Milliseconds;
    SetEnabled(true);
  }
}

void TTCTimer::BeginPending() {
  if (PendingCount == 0) SetEnabled(true);
  ++PendingCount;
}

void TTCTimer::EndPending() {
  if (PendingCount > 0) --PendingCount;
  if (PendingCount == 0) SetEnabled(false);
}
