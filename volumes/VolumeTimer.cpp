#include "VolumeTimer.h"

#include "VolumeControl.h"

TTCTimer::TTCTimer(TVolumeControl& Control)
    : TMinTimer(
          false, [this] { Tick(); }, VolumeTimerInterval),
      Control(Control) {}

void TTCTimer::Tick() {
  RunTime = RunTime > Interval ? RunTime - Interval : 0;
  Control.RefreshVolumes();
  // The pass tells whether anything is still pending.
  Control.ProcessVolumes();
  Follow(Pending);
}

void TTCTimer::KeepPolling(uint32_t Milliseconds) {
  if (RunTime < Milliseconds) RunTime = Milliseconds;
  Follow(Pending);
}

void TTCTimer::Follow(bool IsPending) {
  Pending = IsPending;
  SetEnabled(Pending || RunTime > 0);
}
