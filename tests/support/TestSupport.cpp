#include "TestSupport.h"

#include "Files.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {



bool RootExists(char Letter)
{
  wchar_t root[] = {static_cast<wchar_t>(Letter), L':', L'\\', 0};
  DWORD attr = GetFileAttributesW(root);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TestDrive::TestDrive(char Letter, const std::string& Folder, WineDriveType Type)
    : FLetter(Letter), FMapped(MapWineDrive(Letter, Folder, Type))
{
}

TestDrive::~TestDrive()
{
  if (FMapped) UnmapWineDrive(FLetter);
}

std::string TestDrive::Root() const
{
  return std::string(1, FLetter) + ":\\";
}

ScratchFolder::ScratchFolder(const std::string& Tag)
{
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  std::string base = WideToUtf8(std::wstring(temp, n));
  if (!base.empty() && base.back() == '\\') base.pop_back();
  // Process id, a counter and the tick count keep folders of concurrent and
  // earlier runs apart.
  for (;;) {
    FPath = base + "\\" + Tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++) + "-" + std::to_string(GetTickCount());
    if (CreateDirectoryW(Utf8ToWide(FPath).c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

ScratchFolder::~ScratchFolder()
{
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(Utf8ToWide(FPath)), ec);
}

char UnusedDriveLetter(char From)
{
  for (char c = From; c <= 'Y'; ++c)
    if (!RootExists(c)) return c;
  return 0;
}

bool DiskQueryAnswered(char Letter)
{
  HANDLE h = CreateFileA((std::string("\\\\.\\") + Letter + ":").c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  unsigned char extents[32];
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(h, 0x560000, nullptr, 0, extents, sizeof(extents), &returned, nullptr);
  CloseHandle(h);
  return ok != FALSE;
}

std::string ReadTextFile(const std::string& Path)
{
  std::ifstream in(std::filesystem::path(Utf8ToWide(Path)), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
