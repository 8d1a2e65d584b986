// The "FileVersion" entry of an executable's version resource.
#include "FileVersion.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "SystemLibrary.h"
#include "Text.h"

std::string GetFileVersion(const std::string& Path) {
  // version.dll is not a known DLL: not imported, but loaded from System32.
  const TSystemLibrary Version(L"version.dll");
  const auto InfoSize = Version.Find<decltype(GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
  const auto Info = Version.Find<decltype(GetFileVersionInfoW)>("GetFileVersionInfoW");
  const auto Query = Version.Find<decltype(VerQueryValueW)>("VerQueryValueW");
  if (!InfoSize || !Info || !Query) return {};
  std::wstring WPath = Utf8ToWide(Path);
  DWORD Size = InfoSize(WPath.c_str(), nullptr);
  if (Size == 0) return {};
  std::vector<unsigned char> Buffer(Size);
  if (!Info(WPath.c_str(), 0, Size, Buffer.data())) return {};
  std::wstring Key = L"FileVersion";
  void* Value = nullptr;
  UINT Length = 0;
  if (Query(Buffer.data(), L"\\VarFileInfo\\Translation", &Value, &Length) && Length >= 4) {
    DWORD Translation = *static_cast<const DWORD*>(Value);
    wchar_t Text[64];
    swprintf(Text, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", Translation & 0xFFFF, Translation >> 16);
    Key = Text;
  }
  if (!Query(Buffer.data(), Key.c_str(), &Value, &Length) || !Value) return {};
  return WideToUtf8(static_cast<const wchar_t*>(Value));
}
