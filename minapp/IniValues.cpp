#include "IniValues.h"

#include <cctype>

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
    if (std::tolower(static_cast<unsigned char>(A[I])) != std::tolower(static_cast<unsigned char>(B[I])))
      return false;
  return I == A.size() && !B[I];
}

}  // namespace

bool IniTextToBool(const std::string& Text, bool Default) {
  bool NonZero = false;
  if (ParseDecimal(Text, NonZero)) return NonZero;
  if (SameAsciiIgnoreCase(Text, "True")) return true;
  if (SameAsciiIgnoreCase(Text, "False")) return false;
  return Default;
}

std::vector<std::string> SplitZeroTerminatedList(const char* Buffer, std::size_t Length) {
  std::vector<std::string> Names;
  std::size_t Pos = 0;
  while (Pos < Length) {
    std::size_t End = Pos;
    while (End < Length && Buffer[End]) ++End;
    Names.emplace_back(Buffer + Pos, End - Pos);
    Pos = End + 1;
  }
  return Names;
}
