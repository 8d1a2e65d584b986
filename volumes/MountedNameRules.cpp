#include "MountedNameRules.h"
#include "StrUtils.h"

namespace {

int DigitValue(char C, int Base) {
  int D = C >= '0' && C <= '9' ? C - '0' : C >= 'A' && C <= 'F' ? C - 'A' + 10 : C >= 'a' && C <= 'f' ? C - 'a' + 10 : 99;
  return D < Base ? D : -1;
}

} // namespace

std::string StripNtPathPrefix(const std::string& Name) {
  return StartsWith("\\??\\", Name) ? Name.substr(4) : Name;
}

bool TextToInt32(const std::string& Text, int32_t& Value) {
  std::size_t At = 0;
  bool Negative = false;
  if (At < Text.size() && (Text[At] == '+' || Text[At] == '-')) Negative = Text[At++] == '-';
  int Base = 10;
  if (At < Text.size() && Text[At] == '$') {
    Base = 16;
    ++At;
  } else if (Text.size() - At > 2 && Text[At] == '0' && (Text[At + 1] == 'X' || Text[At + 1] == 'x')) {
    Base = 16;
    At += 2;
  }
  if (At == Text.size()) return false;
  int64_t Magnitude = 0;
  for (; At < Text.size(); ++At) {
    int D = DigitValue(Text[At], Base);
    if (D < 0) return false;
    Magnitude = Magnitude * Base + D;
    if (Magnitude > int64_t(INT32_MAX) + 1) return false;
  }
  int64_t Result = Negative ? -Magnitude : Magnitude;
  if (Result > INT32_MAX) return false;
  Value = int32_t(Result);
  return true;
}

bool ParseDiskPartitionName(const std::string& Name, int32_t& Disk, int32_t& Partition) {
  return TextToInt32(TextBefore(TextAfter(Name, "HARDDISK"), '\\'), Disk) &&
         TextToInt32(TextAfter(Name, "PARTITION", true), Partition);
}
