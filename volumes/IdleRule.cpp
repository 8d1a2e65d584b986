#include "IdleRule.h"

#include <algorithm>

uint32_t IdleDismountDelay(uint32_t NowTick, uint32_t LastInputTick, int32_t IdleMinutes) {
  const uint32_t Elapsed = NowTick - LastInputTick;
  // More than half the tick range is not an idle time but a later input.
  const uint64_t Idle = Elapsed > 0x80000000u ? 0 : Elapsed;
  const uint64_t Limit = uint64_t(std::max(IdleMinutes, 1)) * 60000;
  if (Idle >= Limit) return 0;
  return uint32_t(std::min<uint64_t>(Limit - Idle, MaxIdleCheckDelay));
}
