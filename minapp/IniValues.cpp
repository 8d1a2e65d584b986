#include "IniValues.h"

#include <initializer_list>

#include "StrUtils.h"

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

// Number, or one of Words (true words at even positions, false after each).
std::optional<bool> ReadSwitch(const std::string& Text, std::initializer_list<const char*> Words) {
  bool NonZero = false;
  if (ParseDecimal(Text, NonZero)) return NonZero;
  bool Yes = true;
  for (const char* Word : Words) {
    if (SameIgnoringAsciiCase(Text, Word)) return Yes;
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
