#pragma once
// Last-write times of files, and the clock, as packed local DOS date-times
// and floating date-times (DateTimes.h).
#include <windows.h>

#include <cstdint>
#include <string>

#include "DateTimes.h"

// Packed local DOS date-time of the last write; -1 for none or a folder.
int32_t GetFileAge(const std::string& Path);
// Sets the last-write time; 0 or the system error code (-1, no time, is
// refused with ERROR_INVALID_PARAMETER).
DWORD SetFileAge(const std::string& Path, int32_t Age);
// Floating date-time of GetFileAge; 0 when the file does not exist.
double GetFileDateTime(const std::string& Path);

// What a drive scan needs of a file, from one attribute call that does not
// follow a link at the end of Path.
struct TFileFacts {
  DWORD Attributes = INVALID_FILE_ATTRIBUTES;
  uint64_t Size = 0;
  double DateTime = 0;  // as GetFileDateTime gives it
};
TFileFacts GetFileFacts(const std::string& Path);
DWORD SetFileDateTime(const std::string& Path, double Stamp);

// The wall clock's local time as a floating date-time, to the millisecond.
double LocalDateTimeNow();
