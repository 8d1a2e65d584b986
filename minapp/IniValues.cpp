#include "IniValues.h"

#include <cctype>
#include <cstdint>
#include <initializer_list>

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Skips the digits at Pos; reports whether there was one and whether any was
// not zero.
void ScanDigits(const std::string& Text, std::size_t& Pos, bool& AnyDigit, bool& NonZero) {
  while (Pos < Text.size() && IsDigit(Text[Pos])) {
    AnyDigit = true;
    NonZero = NonZero || Text[Pos] != '0';
    ++Pos;
  }
}

// Whether Text is a whole decimal number; NonZero tells whether its value is
// not zero (decided by the digits, so no overflow or underflow can flip it).
bool ParseDecimal(const std::string& Text, bool& NonZero) {
  std::size_t Pos = 0;
  bool AnyDigit = false;
  NonZero = false;
  if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) ++Pos;
  ScanDigits(Text, Pos, AnyDigit, NonZero);
  if (Pos < Text.size() && Text[Pos] == '.') {
    ++Pos;
    ScanDigits(Text, Pos, AnyDigit, NonZero);
  }
  if (!AnyDigit) return false;
  if (Pos < Text.size() && (Text[Pos] == 'e' || Text[Pos] == 'E')) {
    ++Pos;
    if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) ++Pos;
    bool ExponentDigit = false, Ignored = false;
    ScanDigits(Text, Pos, ExponentDigit, Ignored);
    if (!ExponentDigit) return false;
  }
  return Pos == Text.size();
}

bool SameAsciiIgnoreCase(const std::string& A, const char* B) {
  std::size_t I = 0;
  for (; I < A.size() && B[I]; ++I)
    if (std::tolower(static_cast<unsigned char>(A[I])) != std::tolower(static_cast<unsigned char>(B[I]))) return false;
  return I == A.size() && !B[I];
}

// Number, or one of Words (true words at even positions, false after each).
std::optional<bool> ReadSwitch(const std::string& Text, std::initializer_list<const char*> Words) {
  bool NonZero = false;
  if (ParseDecimal(Text, NonZero)) return NonZero;
  bool Yes = true;
  for (const char* Word : Words) {
    if (SameAsciiIgnoreCase(Text, Word)) return Yes;
    Yes = !Yes;
  }
  return std::nullopt;
}

}  // namespace

bool IniTextToBool(const std::string& Text, bool Default) {
  return ReadSwitch(Text, {"True", "False"}).value_or(Default);
}

std::optional<bool> IniTextToSwitch(const std::string& Text) {
  return ReadSwitch(Text, {"True", "False", "Yes", "No", "On", "Off"});
}

int IniTextToInt(const std::string& Text, int Default) {
  if (Text.empty()) return Default;
  // As the profile functions read numbers: at most 29 characters, leading
  // blanks, a sign, a 0x/0o/0b prefix, then digits up to the first other
  // character; the value wraps at 32 bits.
  const std::string Head = Text.substr(0, 29);
  std::size_t Pos = Head.find_first_not_of(" \t\n\v\f\r");
  if (Pos == std::string::npos) return 0;
  bool Negative = false;
  if (Head[Pos] == '+' || Head[Pos] == '-') Negative = Head[Pos++] == '-';
  unsigned Base = 10;
  if (Pos + 1 < Head.size() && Head[Pos] == '0') {
    const char Prefix = char(std::tolower(static_cast<unsigned char>(Head[Pos + 1])));
    Base = Prefix == 'x' ? 16 : Prefix == 'o' ? 8 : Prefix == 'b' ? 2 : 10;
    if (Base != 10) Pos += 2;
  }
  uint32_t Value = 0;
  for (; Pos < Head.size(); ++Pos) {
    const int C = std::tolower(static_cast<unsigned char>(Head[Pos]));
    const unsigned Digit = IsDigit(char(C)) ? unsigned(C - '0') : C >= 'a' && C <= 'z' ? unsigned(C - 'a' + 10) : 99;
    if (Digit >= Base) break;
    Value = Value * Base + Digit;
  }
  return int(Negative ? 0u - Value : Value);
}
