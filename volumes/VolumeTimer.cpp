#include "VolumeTimer.h"

#include "VolumeControl.h"

TVolumePollTimer::TVolumePollTimer(TVolumeControl& Control)
    : TMinTimer(
          false, [this] { Tick(); }, VolumeTimerInterval),
      Control(Control) {}

void TVolumePollTimer::Tick() {
  RunTime = RunTime > Interval ? RunTime - Interval : 0;
  Control.RefreshVolumes();
  // The pass tells whether anything is still pending.
  Control.ProcessVolumes();
  Follow(Pending);
}

void TVolumePollTimer::KeepPolling(uint32_t Milliseconds) {
  if (RunTime < Milliseconds) RunTime = Milliseconds;
  Follow(Pending);
}

void TVolumePollTimer::Follow(bool IsPending) {
  Pending = IsPending;
  SetEnabled(Pending || RunTime > 0);
}
