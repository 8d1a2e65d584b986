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

namespace {

// The command line split by the standard Windows argument rules.
std::vector<std::string> CommandLineWords() {
  std::vector<std::string> Words;
  int Count = 0;
  LPWSTR* Args = CommandLineToArgvW(GetCommandLineW(), &Count);
  if (!Args) return Words;
  for (int i = 0; i < Count; ++i) Words.push_back(WideToUtf8(Args[i]));
  LocalFree(Args);
  return Words;
}

}  // namespace

std::string GetParamStr(int Index) {
  if (Index == 0) {
    std::wstring Buf(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = GetModuleFileNameW(nullptr, Buf.data(), static_cast<DWORD>(Buf.size()));
      if (n < Buf.size()) return WideToUtf8(Buf.substr(0, n));
      Buf.resize(Buf.size() * 2);
    }
  }
  std::vector<std::string> Words = CommandLineWords();
  return Index > 0 && static_cast<std::size_t>(Index) < Words.size() ? Words[Index] : std::string();
}

bool HasParam(const std::string& Name, std::string& Value) {
  std::vector<std::string> Words = CommandLineWords();
  if (!Words.empty()) Words.erase(Words.begin());
  return HasParamIn(Words, Name, Value);
}

bool HasSwitch(const std::string& Name) {
  std::string Value;
  return HasParam(Name, Value);
}
