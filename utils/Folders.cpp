// The program's well-known folders and path expansion.
#include <windows.h>

#include <shlobj.h>

#include "Folders.h"
#include "PathNames.h"
#include "Text.h"

std::string GetSpecialFolder(int Csidl) {
  LPITEMIDLIST List = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, Csidl, &List))) return {};
  wchar_t Buf[MAX_PATH + 1] = {};
  SHGetPathFromIDListW(List, Buf);
  CoTaskMemFree(List);
  return WideToUtf8(Buf);
}

std::string GetAppDataFolder() { return IncludeTrailingBackslash(GetSpecialFolder(CSIDL_APPDATA)); }

std::string GetProgramFilesFolder() {
  std::string Folder = GetSpecialFolder(CSIDL_PROGRAM_FILES);
  if (Folder.empty()) {
    wchar_t Buf[MAX_PATH + 1] = {};
    GetWindowsDirectoryW(Buf, MAX_PATH);
    Folder = ExtractDrive(WideToUtf8(Buf)) + "\\Program Files";
  }
  if (!Folder.empty() && Folder.back() == '\\') Folder.pop_back();
  return Folder;
}

std::string GetProgramFolder() {
  static const std::string Cached = IncludeTrailingBackslash(ExtractDir(WideToUtf8(ProgramFilePath())));
  return Cached;
}

std::string ExpandPath(const std::string& Path) {
  std::wstring W = Utf8ToWide(Path);
  for (wchar_t& C : W)
    if (C == L'/') C = L'\\';
  DWORD n = GetFullPathNameW(W.c_str(), 0, nullptr, nullptr);
  if (n == 0) return WideToUtf8(W);
  std::wstring Full(n, L'\0');
  n = GetFullPathNameW(W.c_str(), n, Full.data(), nullptr);
  Full.resize(n);
  return WideToUtf8(Full);
}

bool SetCurrentDir(const std::string& Path) { return SetCurrentDirectoryW(Utf8ToWide(Path).c_str()) != 0; }
