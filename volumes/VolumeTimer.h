#pragma once
#include <cstdint>

#include "MinTimer.h"

class TVolumeControl;

constexpr uint32_t VolumeTimerInterval = 300;

// The volume timer: ticks every 300 ms while a volume is being mounted or
// dismounted, or RunTime is left; each tick refreshes the volumes and runs a
// pass.
class TVolumePollTimer : public TMinTimer {
 public:
  explicit TVolumePollTimer(TVolumeControl& Control);

  // Time it keeps running regardless of pending work; reduced at each tick.
  uint32_t RunTime = 0;

  // Raises RunTime to Milliseconds and starts the timer when Milliseconds > 0.
  void KeepPolling(uint32_t Milliseconds);
  // Runs exactly while Pending or RunTime is left.
  void Follow(bool Pending);

 private:
  void Tick();

  TVolumeControl& Control;
  bool Pending = false;
};
