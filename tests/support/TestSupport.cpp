#include "TestSupport.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::wstring Wide(const std::string& s)
{
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& w)
{
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

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
  std::string base = Narrow(std::wstring(temp, n));
  if (!base.empty() && base.back() == '\\') base.pop_back();
  // Process id, a counter and the tick count keep folders of concurrent and
  // earlier runs apart.
  for (;;) {
    FPath = base + "\\" + Tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++) + "-" + std::to_string(GetTickCount());
    if (CreateDirectoryW(Wide(FPath).c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

ScratchFolder::~ScratchFolder()
{
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(Wide(FPath)), ec);
}

char UnusedDriveLetter(char From)
{
  for (char c = From; c <= 'Y'; ++c)
    if (!RootExists(c)) return c;
  return 0;
}

bool WriteTextFile(const std::string& Path, const std::string& Text)
{
  std::ofstream out(std::filesystem::path(Wide(Path)), std::ios::binary | std::ios::trunc);
  out << Text;
  return static_cast<bool>(out.flush());
}

std::string ReadTextFile(const std::string& Path)
{
  std::ifstream in(std::filesystem::path(Wide(Path)), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
