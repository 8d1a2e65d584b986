#pragma once
#include <cstdint>

#include "MinTimer.h"

class TVolumeControl;

constexpr uint32_t VolumeTimerInterval = 300;

// The volume timer: ticks every 300 ms while a mount or dismount is pending
// or RunTime is left; each tick refreshes the volumes and runs a pass.
class TTCTimer : public TMinTimer {
 public:
  explicit TTCTimer(TVolumeControl& Control);

  // Time it keeps running regardless of pending work; reduced at each tick.
  uint32_t RunTime = 0;
  // Mounts and dismounts awaiting their outcome; never below 0.
  int32_t PendingCount = 0;

  // Raises RunTime to Milliseconds and starts the timer when Milliseconds > 0.
  void KeepPolling(uint32_t Milliseconds);
  // Starts the timer on the first pending operation, counts it.
  void BeginPending();
  // Counts one operation less (not below 0); at 0 the timer is stopped.
  void EndPending();

 private:
  void Tick();

  TVolumeControl& Control;
};
