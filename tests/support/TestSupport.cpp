#include "TestSupport.h"
#include <windows.h>
#include <atomic>
#include <filesystem>
#include "Files.h"
#include "Text.h"

TestDrive::TestDrive(char Letter, const std::string& Folder, WineDriveType Type)
    : FLetter(Letter), FMapped(MapWineDrive(Letter, Folder, Type)) {}

TestDrive::~TestDrive() {
  if (FMapped) UnmapWineDrive(FLetter);
}

ScratchFolder::ScratchFolder(const std::string& Tag) {
  static std::atomic<unsigned> Counter{0};
  wchar_t Temp[MAX_PATH + 1];
  std::string Base = WideToUtf8(std::wstring(Temp, GetTempPathW(MAX_PATH + 1, Temp)));
  if (!Base.empty() && Base.back() == '\\') Base.pop_back();
  // Process id, counter and tick count keep concurrent and earlier runs apart.
  do
    FPath = Base + "\\" + Tag + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(Counter++) + "-" +
            std::to_string(GetTickCount());
  while (!CreateDirectoryW(Utf8ToWide(FPath).c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

ScratchFolder::~ScratchFolder() {
  std::error_code Ec;
  std::filesystem::remove_all(std::filesystem::path(Utf8ToWide(FPath)), Ec);
}

char UnusedDriveLetter(char From) {
  for (char C = From; C <= 'Y'; ++C) {
    const DWORD Attr = GetFileAttributesW(Utf8ToWide(std::string(1, C) + ":\\").c_str());
    if (Attr == INVALID_FILE_ATTRIBUTES || !(Attr & FILE_ATTRIBUTE_DIRECTORY)) return C;
  }
  return 0;
}

std::string ReadTextFile(const std::string& Path) {
  std::string Bytes;
  ReadFileBytes(Path, Bytes);
  return Bytes;
}
