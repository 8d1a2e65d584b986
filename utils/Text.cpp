#include "Text.h"

#include <windows.h>

#include <shellapi.h>

#include "UnitStartup.h"

std::wstring Utf8ToWide(const std::string& S) {
  if (S.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
  std::wstring W(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), W.data(), n);
  return W;
}

std::string WideToUtf8(const std::wstring& S) {
  if (S.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), nullptr, 0, nullptr, nullptr);
  std::string R(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, S.data(), static_cast<int>(S.size()), R.data(), n, nullptr, nullptr);
  return R;
}

std::string WideToUtf8(const wchar_t* S) { return S ? WideToUtf8(std::wstring(S)) : std::string(); }

int CompareTextIgnoreCase(const std::string& A, const std::string& B) {
  return CompareWideText(Utf8ToWide(A), Utf8ToWide(B), true);
}

bool SameTextUtf8(const std::string& A, const std::string& B) { return CompareTextIgnoreCase(A, B) == 0; }

std::wstring ProgramFilePath() {
  std::wstring Buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, Buf.data(), static_cast<DWORD>(Buf.size()));
    if (n < Buf.size()) return Buf.substr(0, n);
    Buf.resize(Buf.size() * 2);
  }
}

std::vector<std::string> CommandLineArgs() {
  std::vector<std::string> Args;
  int Count = 0;
  LPWSTR* Wide = CommandLineToArgvW(GetCommandLineW(), &Count);
  if (!Wide) return Args;
  for (int i = 0; i < Count; ++i) Args.push_back(WideToUtf8(Wide[i]));
  LocalFree(Wide);
  return Args;
}

bool HasParam(const std::string& Name, std::string& Value) {
  std::vector<std::string> Words = CommandLineArgs();
  if (!Words.empty()) Words.erase(Words.begin());
  return HasParamIn(Words, Name, Value);
}

bool HasSwitch(const std::string& Name) {
  std::string Value;
  return HasParam(Name, Value);
}
