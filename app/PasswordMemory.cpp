#include "PasswordMemory.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "ConfigFiles.h"
#include "Files.h"
#include "MountCommandLine.h"
#include "PasswordRecord.h"
#include "PathNames.h"
#include "StrUtils.h"
#include "Text.h"

namespace {

// Days between 1601-01-01 (FILETIME origin) and 1899-12-30.
constexpr double FileTimeEpochDays = 109205.0;
constexpr double FileTimeUnitsPerDay = 864000000000.0;

double LocalNow() {
  FILETIME Utc, Local;
  GetSystemTimeAsFileTime(&Utc);
  FileTimeToLocalFileTime(&Utc, &Local);
  const ULONGLONG Units = (static_cast<ULONGLONG>(Local.dwHighDateTime) << 32) | Local.dwLowDateTime;
  return static_cast<double>(Units) / FileTimeUnitsPerDay - FileTimeEpochDays;
}

}  // namespace

std::string PasswordFileName() { return UserConfigDir() + "1.d"; }

void SaveRememberedPassword(const std::string& Password, bool SavePass, int32_t Minutes) {
  TPasswordRecord Record;
  Record.SavedAt = LocalNow();
  Record.Minutes = Minutes;
  Record.IsReal = SavePass ? 1 : 0;
  Record.Length = static_cast<int32_t>(Password.size());
  Record.Text = ComposePasswordText(Password, SavePass,
                                    [](int Count) { return RandomString(Count, false); });
  std::vector<uint8_t> File;
  const bool Built = BuildPasswordFile(Record, GetTickCount(), File);
  WipeString(Record.Text);
  if (!Built) return;
  if (!ForceDirsEx(ExtractDir(PasswordFileName()))) return;
  WriteFileBytes(PasswordFileName(), std::string_view(reinterpret_cast<const char*>(File.data()), File.size()));
}

void LoadRememberedPassword(std::string& Password) {
  std::string Bytes;
  if (!ReadFileBytes(PasswordFileName(), Bytes) || Bytes.empty()) return;
  std::optional<std::string> Restored =
      ReadPasswordFile(reinterpret_cast<const uint8_t*>(Bytes.data()), std::min(Bytes.size(), PasswordFileReadLimit),
                       LocalNow());
  WipeString(Bytes);
  if (!Restored) return;
  Password = *Restored;
  WipeString(*Restored);
}
