#pragma once
// Last-write times of files as the file system keeps them, and the clock.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "DateTimes.h"

// FILETIME's count: 100 ns ticks since 1 January 1601, UTC; zero for none.
using TFileTicks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;

// What a drive scan needs of a file, from one attribute call that does not
// follow a link at the end of Path.
struct TFileFacts {
  DWORD Attributes = INVALID_FILE_ATTRIBUTES;
  uint64_t Size = 0;
  TFileTicks LastWrite{};  // zero for a folder or no file
};
TFileFacts GetFileFacts(const std::string& Path);
// The last write of a file; zero for a folder or no file.
TFileTicks GetLastWrite(const std::string& Path);
// 0 or the system error code.
DWORD SetLastWrite(const std::string& Path, TFileTicks Time);
TFileTicks FileTicksNow();

// The wall clock in the user's time zone, to the millisecond.
TLocalTime LocalNow();
