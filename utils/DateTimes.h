#pragma once
// Time stamps: floating day counts since 30 December 1899 (0 = no time) and
// packed DOS date-times (date high, time low; -1 = no time).
#include <cstdint>

// One millisecond as a fraction of a day.
inline constexpr double OneMillisecond = 1.0 / 86400000.0;

// Two stamps are the same time when they differ by less than a millisecond.
bool SameDateTime(double A, double B);
// 0 when Packed is not a valid DOS date-time.
double DosDateTimeToDateTime(int32_t Packed);
// -1 when Stamp lies outside the DOS range (1980..2107).
int32_t DateTimeToDosDateTime(double Stamp);
