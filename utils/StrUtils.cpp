#include "StrUtils.h"

#include <algorithm>

namespace {

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= 32; }

}  // namespace

std::string_view Trim(std::string_view S) {
  while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
  while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
  return S;
}

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

bool StartsWith(const std::string& Prefix, const std::string& S) {
  return S.size() >= Prefix.size() && S.compare(0, Prefix.size(), Prefix) == 0;
}

bool StartsWithIgnoreAsciiCase(const std::string& Prefix, const std::string& S) {
  if (S.size() < Prefix.size()) return false;
  for (std::size_t i = 0; i < Prefix.size(); ++i)
    if (AsciiUpper(Prefix[i]) != AsciiUpper(S[i])) return false;
  return true;
}

char AsciiUpper(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; }

std::string AsciiUpper(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = AsciiUpper(C);
  return R;
}

bool SameIgnoringAsciiCase(std::string_view A, std::string_view B) {
  return A.size() == B.size() &&
         std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return AsciiUpper(X) == AsciiUpper(Y); });
}

std::optional<int32_t> ParseInt32(std::string_view Text, TNumberRule Rule) {
  if (Text.empty()) return std::nullopt;
  std::size_t Pos = 0;
  unsigned Base = 10;
  if (Rule == TNumberRule::Profile) {
    Text = Text.substr(0, 29);
    Pos = Text.find_first_not_of(" \t\n\v\f\r");
    if (Pos == std::string_view::npos) return 0;
  }
  const bool Negative = Pos < Text.size() && Text[Pos] == '-';
  if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) ++Pos;
  if (Rule == TNumberRule::Profile && Pos + 1 < Text.size() && Text[Pos] == '0') {
    const char Prefix = AsciiUpper(Text[Pos + 1]);
    Base = Prefix == 'X' ? 16 : Prefix == 'O' ? 8 : Prefix == 'B' ? 2 : 10;
    if (Base != 10) Pos += 2;
  }
  const std::size_t FirstDigit = Pos;
  uint64_t Value = 0;
  for (; Pos < Text.size(); ++Pos) {
    const char C = AsciiUpper(Text[Pos]);
    const unsigned Digit = C >= '0' && C <= '9'   ? unsigned(C - '0')
                           : C >= 'A' && C <= 'Z' ? unsigned(C - 'A' + 10)
                                                  : 99;
    if (Digit >= Base) break;
    // Profile numbers wrap at 32 bits; strict ones stop being numbers.
    Value = Value * Base + Digit;
    if (Rule == TNumberRule::Profile)
      Value = uint32_t(Value);
    else if (Value > uint64_t(INT32_MAX) + 1)
      return std::nullopt;
  }
  if (Rule == TNumberRule::Profile) return int32_t(uint32_t(Negative ? 0u - uint32_t(Value) : uint32_t(Value)));
  if (Pos == FirstDigit || Pos != Text.size() || Value > uint64_t(INT32_MAX) + (Negative ? 1 : 0)) return std::nullopt;
  return int32_t(Negative ? -int64_t(Value) : int64_t(Value));
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
