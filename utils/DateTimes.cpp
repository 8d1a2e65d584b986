#include "DateTimes.h"

#include <cmath>

namespace {

// Days from 30 December 1899 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t Y, int64_t M, int64_t D) {
  Y -= M <= 2;
  const int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
  const int64_t YearOfEra = Y - Era * 400;
  const int64_t DayOfYear = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const int64_t DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
  return Era * 146097 + DayOfEra - 719468 + 25569;  // 25569: 1899-12-30 .. 1970-01-01
}

void CivilFromDays(int64_t Days, int& Y, int& M, int& D) {
  const int64_t Z = Days - 25569 + 719468;
  const int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const int64_t DayOfEra = Z - Era * 146097;
  const int64_t YearOfEra = (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  const int64_t DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  const int64_t Mp = (5 * DayOfYear + 2) / 153;
  D = static_cast<int>(DayOfYear - (153 * Mp + 2) / 5 + 1);
  M = static_cast<int>(Mp < 10 ? Mp + 3 : Mp - 9);
  Y = static_cast<int>(YearOfEra + Era * 400 + (M <= 2));
}

int DaysInMonth(int Y, int M) {
  static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool Leap = (Y % 4 == 0 && Y % 100 != 0) || Y % 400 == 0;
  return M == 2 && Leap ? 29 : Days[M - 1];
}

}  // namespace

bool SameDateTime(double A, double B) { return std::fabs(A - B) < OneMillisecond; }

double DosDateTimeToDateTime(int32_t Packed) {
  const uint32_t P = static_cast<uint32_t>(Packed);
  const int Sec = (P & 0x1F) * 2, Min = (P >> 5) & 0x3F, Hour = (P >> 11) & 0x1F;
  const int Day = (P >> 16) & 0x1F, Month = (P >> 21) & 0x0F, Year = static_cast<int>(P >> 25) + 1980;
  if (Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month)) return 0;
  if (Hour > 23 || Min > 59 || Sec > 59) return 0;
  return static_cast<double>(DaysFromCivil(Year, Month, Day)) + (Hour * 3600 + Min * 60 + Sec) / 86400.0;
}

int32_t DateTimeToDosDateTime(double Stamp) {
  if (!std::isfinite(Stamp) || Stamp < 0 || Stamp > 1e7) return -1;
  // Whole milliseconds first, so 23:59:59.9996 does not read as 23:59:59.
  const int64_t Ms = std::llround(Stamp * 86400000.0);
  const int64_t Days = Ms / 86400000;
  const int64_t MsOfDay = Ms % 86400000;
  int Y, M, D;
  CivilFromDays(Days, Y, M, D);
  if (Y < 1980 || Y > 2107) return -1;
  const uint32_t Secs = static_cast<uint32_t>(MsOfDay / 1000);
  const uint32_t Time = ((Secs / 3600) << 11) | (((Secs / 60) % 60) << 5) | ((Secs % 60) / 2);
  const uint32_t Date =
      (static_cast<uint32_t>(Y - 1980) << 9) | (static_cast<uint32_t>(M) << 5) | static_cast<uint32_t>(D);
  return static_cast<int32_t>((Date << 16) | Time);
}
