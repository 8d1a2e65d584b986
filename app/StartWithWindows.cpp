#include "StartWithWindows.h"

#include <windows.h>

#include "CommandLine.h"
#include "Text.h"
#include "UnitStartup.h"

namespace {

// The key-and-value registry calls open and close the key themselves.
constexpr wchar_t RunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// In quotes always, so the shell never reads a part of the path as the program.
std::wstring QuotedProgramPath() { return Utf8ToWide(QuotedArgument(WideToUtf8(ProgramFilePath()), TQuoting::Always)); }

bool Succeeded(LSTATUS Status) {
  SetLastError(static_cast<DWORD>(Status));
  return Status == ERROR_SUCCESS;
}

}  // namespace

std::string StartWithWindowsRefusal() {
  wchar_t Root[MAX_PATH + 1];
  // The volume's root, also for a folder mounted as a drive.
  if (!GetVolumePathNameW(ProgramFilePath().c_str(), Root, MAX_PATH + 1)) return "only from a fixed local drive";
  switch (GetDriveTypeW(Root)) {
    case DRIVE_FIXED:
      return "";
    case DRIVE_REMOVABLE:
      return "not from a removable drive";
    case DRIVE_REMOTE:
      return "not from a network drive";
    default:
      return "only from a fixed local drive";
  }
}

bool StartsWithWindows(const std::string& Title) {
  const std::wstring Name = Utf8ToWide(Title);
  DWORD Size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, RunKeyPath, Name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &Size) !=
      ERROR_SUCCESS)
    return false;
  std::wstring Data(Size / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, RunKeyPath, Name.c_str(), RRF_RT_REG_SZ, nullptr, Data.data(), &Size) !=
      ERROR_SUCCESS)
    return false;
  Data.resize(wcsnlen(Data.c_str(), Data.size()));
  return CompareWideText(Data, QuotedProgramPath(), true) == 0;
}

bool SetStartWithWindows(const std::string& Title, bool On) {
  const std::wstring Name = Utf8ToWide(Title);
  if (!On) {
    const LSTATUS Status = RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKeyPath, Name.c_str());
    return Succeeded(Status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : Status);
  }
  if (!StartWithWindowsRefusal().empty()) return Succeeded(ERROR_NOT_SUPPORTED);
  const std::wstring Data = QuotedProgramPath();
  return Succeeded(RegSetKeyValueW(HKEY_CURRENT_USER, RunKeyPath, Name.c_str(), REG_SZ, Data.c_str(),
                                   static_cast<DWORD>((Data.size() + 1) * sizeof(wchar_t))));
}
