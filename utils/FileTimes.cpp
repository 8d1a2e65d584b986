// Last-write times as packed local DOS date-times and floating date-times.
#include "FileTimes.h"

#include "Files.h"
#include "Scoped.h"
#include "Text.h"

namespace {

int32_t DosAge(const FILETIME& LastWrite) {
  FILETIME Local;
  WORD Date = 0, Time = 0;
  if (!FileTimeToLocalFileTime(&LastWrite, &Local) || !FileTimeToDosDateTime(&Local, &Date, &Time)) return -1;
  return static_cast<int32_t>((static_cast<uint32_t>(Date) << 16) | Time);
}

}  // namespace

int32_t GetFileAge(const std::string& Path) {
  WIN32_FIND_DATAW Data;
  if (!TFindHandle(FindFirstFileW(Utf8ToWide(Path).c_str(), &Data))) return -1;
  if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return DosAge(Data.ftLastWriteTime);
}

TFileFacts GetFileFacts(const std::string& Path) {
  TFileFacts Facts;
  WIN32_FILE_ATTRIBUTE_DATA Data;
  if (Path.empty() || !GetFileAttributesExW(Utf8ToWide(Path).c_str(), GetFileExInfoStandard, &Data)) return Facts;
  Facts.Attributes = Data.dwFileAttributes;
  Facts.Size = uint64_t(Data.nFileSizeHigh) << 32 | Data.nFileSizeLow;
  if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    Facts.DateTime = DosDateTimeToDateTime(DosAge(Data.ftLastWriteTime));
  return Facts;
}

DWORD SetFileAge(const std::string& Path, int32_t Age) {
  // -1 is "no time"; the system would turn it into a time all the same.
  if (Age == -1) return ERROR_INVALID_PARAMETER;
  TFileHandle File(
      CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!File) return GetLastError();
  const uint32_t Packed = static_cast<uint32_t>(Age);
  FILETIME Local, Utc;
  DWORD Result = 0;
  if (!DosDateTimeToFileTime(static_cast<WORD>(Packed >> 16), static_cast<WORD>(Packed & 0xFFFF), &Local) ||
      !LocalFileTimeToFileTime(&Local, &Utc) || !SetFileTime(File.get(), nullptr, nullptr, &Utc))
    Result = GetLastError();
  return Result;
}

double GetFileDateTime(const std::string& Path) { return GetFileFacts(Path).DateTime; }

DWORD SetFileDateTime(const std::string& Path, double Stamp) { return SetFileAge(Path, DateTimeToDosDateTime(Stamp)); }

double LocalDateTimeNow() {
  SYSTEMTIME Local;
  GetLocalTime(&Local);
  FILETIME Stamp;
  SystemTimeToFileTime(&Local, &Stamp);
  const uint64_t Ticks = (static_cast<uint64_t>(Stamp.dwHighDateTime) << 32) | Stamp.dwLowDateTime;
  constexpr double TicksPerDay = 864000000000.0;
  constexpr double DaysFrom1601To1899 = 109205.0;
  return static_cast<double>(Ticks) / TicksPerDay - DaysFrom1601To1899;
}
