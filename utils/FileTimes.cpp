#include "FileTimes.h"

#include "Files.h"
#include "Scoped.h"
#include "Text.h"

namespace {

TFileTicks Ticks(const FILETIME& Time) {
  return TFileTicks(int64_t(uint64_t(Time.dwHighDateTime) << 32 | Time.dwLowDateTime));
}

FILETIME FileTime(TFileTicks Ticks) {
  const uint64_t Count = uint64_t(Ticks.count());
  return {DWORD(Count), DWORD(Count >> 32)};
}

}  // namespace

TFileFacts GetFileFacts(const std::string& Path) {
  TFileFacts Facts;
  WIN32_FILE_ATTRIBUTE_DATA Data;
  if (Path.empty() || !GetFileAttributesExW(Utf8ToWide(Path).c_str(), GetFileExInfoStandard, &Data)) return Facts;
  Facts.Attributes = Data.dwFileAttributes;
  Facts.Size = uint64_t(Data.nFileSizeHigh) << 32 | Data.nFileSizeLow;
  if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Facts.LastWrite = Ticks(Data.ftLastWriteTime);
  return Facts;
}

TFileTicks GetLastWrite(const std::string& Path) { return GetFileFacts(Path).LastWrite; }

DWORD SetLastWrite(const std::string& Path, TFileTicks Time) {
  TFileHandle File(
      CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!File) return GetLastError();
  const FILETIME Stamp = FileTime(Time);
  return SetFileTime(File.get(), nullptr, nullptr, &Stamp) ? 0 : GetLastError();
}

TFileTicks FileTicksNow() {
  FILETIME Now;
  GetSystemTimeAsFileTime(&Now);
  return Ticks(Now);
}

TLocalTime LocalNow() {
  FILETIME Local;
  const FILETIME Utc = FileTime(FileTicksNow());
  FileTimeToLocalFileTime(&Utc, &Local);
  // FILETIME counts from 1601; the local clock's epoch is 1970.
  constexpr TFileTicks From1601To1970 = std::chrono::days(134774);
  return TLocalTime(std::chrono::floor<std::chrono::milliseconds>(Ticks(Local) - From1601To1970));
}
