#include "StrUtils.h"

#include <cstring>

namespace {

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= 32; }

char AsciiUpper(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; }

// Zero-based position of the first or last Sep, npos when absent.
std::size_t FindSep(const std::string& S, char Sep, bool FromEnd) { return FromEnd ? S.rfind(Sep) : S.find(Sep); }

}  // namespace

std::string TrimLeft(const std::string& S) {
  std::size_t i = 0;
  while (i < S.size() && IsBlank(S[i])) ++i;
  return S.substr(i);
}

std::string TrimRight(const std::string& S) {
  std::size_t n = S.size();
  while (n > 0 && IsBlank(S[n - 1])) --n;
  return S.substr(0, n);
}

std::string Trim(const std::string& S) { return TrimLeft(TrimRight(S)); }

bool HasParamIn(const std::vector<std::string>& Params, const std::string& Name, std::string& Value) {
  Value.clear();
  for (const std::string& P : Params) {
    if (!StartsWithIgnoreAsciiCase(Name, P)) continue;
    if (P.size() == Name.size()) return true;
    if (P[Name.size()] == ParamValueSeparator) {
      Value = P.substr(Name.size() + 1);
      return true;
    }
  }
  return false;
}

std::string TextAfter(const std::string& S, const std::string& Sep, bool FromEnd) {
  std::string T = Trim(S);
  int Pos = 0;
  if (FromEnd) {
    Pos = LastPosOf(Sep, T);
  } else if (!Sep.empty()) {
    std::size_t p = T.find(Sep);
    Pos = p == std::string::npos ? 0 : static_cast<int>(p) + 1;
  }
  if (Pos == 0) return {};
  return TrimLeft(T.substr(Pos - 1 + Sep.size()));
}

std::string TextBefore(const std::string& S, char Sep, bool FromEnd) {
  std::string T = Trim(S);
  std::size_t p = FindSep(T, Sep, FromEnd);
  if (p == std::string::npos) return T;
  return TrimRight(T.substr(0, p));
}

void SplitAt(std::string S, char Sep, bool FromEnd, std::string& Left, std::string& Right) {
  std::string T = Trim(S);
  std::size_t p = FindSep(T, Sep, FromEnd);
  if (p == std::string::npos) {
    Right.clear();
    Left = T;
    return;
  }
  Right = TrimLeft(T.substr(p + 1));
  Left = TrimRight(T.substr(0, p));
}

bool StartsWith(const std::string& Prefix, const std::string& S) {
  return S.size() >= Prefix.size() && S.compare(0, Prefix.size(), Prefix) == 0;
}

bool StartsWithIgnoreAsciiCase(const std::string& Prefix, const std::string& S) {
  if (S.size() < Prefix.size()) return false;
  for (std::size_t i = 0; i < Prefix.size(); ++i)
    if (AsciiUpper(Prefix[i]) != AsciiUpper(S[i])) return false;
  return true;
}

int LastPosOf(const std::string& Sub, const std::string& S) {
  if (Sub.empty() || Sub.size() > S.size()) return 0;
  std::size_t p = S.rfind(Sub);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

int CountOf(const std::string& Sub, const std::string& S) {
  std::size_t End = S.find('\0');
  if (End == std::string::npos) End = S.size();
  int Count = 0;
  std::size_t p = 0;
  while ((p = S.find(Sub, p)) != std::string::npos && p + Sub.size() <= End) {
    ++Count;
    p += Sub.size();
  }
  return Count;
}

std::string EncloseIn(const std::string& S, char Q, bool Always) {
  if (S.empty()) return std::string(2, Q);
  if (Always) return Q + S + Q;
  std::string R = S;
  if (S.front() != Q) R.insert(R.begin(), Q);
  if (!(S.size() > 1 && S.back() == Q)) R.push_back(Q);
  return R;
}

std::string QuoteIfSpaced(const std::string& S) {
  return S.find(' ') == std::string::npos ? S : EncloseIn(S, '"', false);
}

void WipeBytes(void* Data, std::size_t Count) {
  volatile unsigned char* P = static_cast<volatile unsigned char*>(Data);
  while (Count--) *P++ = 0;
}

void WipeString(std::string& S) {
  WipeBytes(S.data(), S.size());
  S.clear();
}

void WipeString(std::wstring& S) {
  WipeBytes(S.data(), S.size() * sizeof(wchar_t));
  S.clear();
}
