#pragma once
// When an idle dismount is due. Windows-free: the caller passes the tick
// counts it read (GetTickCount and GetLastInputInfo).
#include <cstdint>

// The longest delay a window timer takes.
constexpr uint32_t MaxIdleCheckDelay = 0x7FFFFFFF;

// Milliseconds until the idle dismount is due, 0 when it is due now, after
// IdleMinutes (> 0) without input. The 32-bit ticks wrap round every 49.7
// days; a last input that looks later than NowTick (it came in between the
// two reads) counts as input just now.
uint32_t IdleDismountDelay(uint32_t NowTick, uint32_t LastInputTick, int32_t IdleMinutes);
