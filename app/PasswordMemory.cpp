#include "PasswordMemory.h"

#include <windows.h>

#include <algorithm>

#include "App.h"
#include "ConfigFiles.h"
#include "DataProtection.h"
#include "Files.h"
#include "MountCommandLine.h"
#include "Mounting.h"
#include "PasswordRecord.h"
#include "StrUtils.h"

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

// Binds the protected record to this program as well as to the user.
constexpr std::string_view Entropy = "trayvm remembered password 1.d";

std::optional<std::string> Protect(std::string_view Plain) { return ProtectForUser(Plain, Entropy); }

void WritePasswordFile(const std::string& Content) {
  HANDLE Handle = FileCreateEx(PasswordFileName(), false);
  if (Handle == INVALID_HANDLE_VALUE) return;
  FileWriteBuf(Handle, Content.data(), static_cast<int>(Content.size()));
  FileCloseHandle(Handle);
}

}  // namespace

std::string PasswordFileName() { return UserConfigDir() + "1.d"; }

void SaveRememberedPassword() {
  TPasswordRecord Record;
  Record.Password = DefaultPassword;
  Record.SavedAt = LocalNow();
  Record.Minutes = RememberPassMin;
  WritePasswordFile(BuildPasswordFile(Record, SavePass, Protect));
}

void LoadRememberedPassword() {
  HANDLE Handle = FileOpenEx(PasswordFileName(), fmOpenRead | fmShareDenyNone, false);
  if (Handle == INVALID_HANDLE_VALUE) return;
  std::string File(PasswordFileReadLimit, '\0');
  const int Read = FileReadBuf(Handle, File.data(), static_cast<int>(File.size()));
  FileCloseHandle(Handle);
  TPasswordFileRead Found = ReadPasswordFile(std::string_view(File).substr(0, std::max(Read, 0)), LocalNow(),
                                             [](std::string_view Blob) { return UnprotectForUser(Blob, Entropy); });
  // An old file is as good as plain text.
  WipeBytes(File.data(), File.size());
  if (Found.Rewrite)
    WritePasswordFile(Found.Accepted ? BuildPasswordFile(*Found.Accepted, true, Protect) : NoPasswordFile());
  if (Found.Accepted) DefaultPassword.assign(Found.Accepted->Password.view());
}
