// Volume control's answers to what happens around it: drives arriving, and
// the user going idle.
#include <windows.h>

#include <algorithm>

#include "IdleRule.h"
#include "VolumeControl.h"

void TVolumeControl::RefreshSoon() {
  // A timer: its tick comes once the queue is empty, so the rest of a burst
  // is handled before it.
  RefreshTimer.SetEnabled(true);
}

void TVolumeControl::SetIdleMinutes(int32_t Minutes) {
  if (Minutes == IdleMinutes) return;
  IdleMinutes = Minutes;
  IdleTimer.SetEnabled(false);
  UpdateIdleCheck();
}

void TVolumeControl::UpdateIdleCheck() {
  const bool AnyMounted = std::any_of(Volumes.begin(), Volumes.end(), [](const TVolume& V) { return V.Mounted(); });
  if (IdleMinutes <= 0 || !AnyMounted)
    IdleTimer.SetEnabled(false);
  else if (!IdleTimer.Enabled())
    ArmIdleCheck(std::max<uint32_t>(IdleDelay(IdleMinutes), 1));
}

uint32_t TVolumeControl::IdleDelay(int32_t Minutes) {
  LASTINPUTINFO Input{sizeof Input, 0};
  GetLastInputInfo(&Input);
  return IdleDismountDelay(GetTickCount(), Input.dwTime, Minutes);
}

void TVolumeControl::ArmIdleCheck(uint32_t Delay) {
  // The timer wakes the program once, when the limit would be reached.
  IdleTimer.SetEnabled(false);
  IdleTimer.Interval = Delay;
  IdleTimer.SetEnabled(true);
}

void TVolumeControl::IdleCheck() {
  uint32_t Delay = IdleDelay(IdleMinutes);
  if (Delay == 0) {
    Host.IdleReached();
    DismountAll(false, true);
    // Looked at again a whole period later, should a dismount fail.
    Delay = IdleDismountDelay(0, 0, IdleMinutes);
  }
  ArmIdleCheck(Delay);
}
