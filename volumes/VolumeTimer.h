#pragma once
#include <cstdint>
#include "MinTimer.h"

// The volume timer: ticks every 300 ms while a mount or dismount is pending
// or RunTime is left; each tick refreshes the volumes and runs a pass.
class TTCTimer : public TMinTimer {
public:
  TTCTimer();
  ~TTCTimer() override;

  // Time it keeps running regardless of pending work; reduced at each tick.
  uint32_t RunTime = 0;

private:
  void Tick(TMinTimer* Sender);
};

constexpr uint32_t VolumeTimerInterval = 300;

// The single volume timer, created on first use.
extern TTCTimer* VolumeTimer;
// Mounts and dismounts awaiting their outcome; never below 0.
extern int32_t PendingCount;

// Creates the timer when needed; raises RunTime to Milliseconds and starts
// the timer when Milliseconds > 0. Returns the timer.
TTCTimer* KeepPolling(uint32_t Milliseconds);
// While the application object exists: start the timer on the first pending
// operation, count it.
void BeginPending();
// While the application object exists: count one operation less (not below
// 0); at 0 the timer is stopped.
void EndPending();
