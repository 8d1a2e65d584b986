#include "MountedNameRules.h"

#include <charconv>

#include "StrUtils.h"

std::string StripNtPathPrefix(const std::string& Name) { return StartsWith("\\??\\", Name) ? Name.substr(4) : Name; }

bool TextToInt32(const std::string& Text, int32_t& Value) {
  const char* At = Text.data();
  const char* const End = At + Text.size();
  bool Negative = false;
  if (At != End && (*At == '+' || *At == '-')) Negative = *At++ == '-';
  int Base = 10;
  if (At != End && *At == '$') {
    Base = 16;
    ++At;
  } else if (End - At > 2 && At[0] == '0' && (At[1] == 'X' || At[1] == 'x')) {
    Base = 16;
    At += 2;
  }
  // from_chars takes no sign of its own here: "-" or "+" after the prefix is refused.
  if (At == End || *At == '-' || *At == '+') return false;
  uint32_t Magnitude = 0;
  const auto [Stop, Error] = std::from_chars(At, End, Magnitude, Base);
  if (Error != std::errc() || Stop != End) return false;
  if (Magnitude > uint32_t(INT32_MAX) + (Negative ? 1u : 0u)) return false;
  Value = Negative ? int32_t(-int64_t(Magnitude)) : int32_t(Magnitude);
  return true;
}

bool ParseDiskPartitionName(const std::string& Name, int32_t& Disk, int32_t& Partition) {
  return TextToInt32(TextBefore(TextAfter(Name, "HARDDISK"), '\\'), Disk) &&
         TextToInt32(TextAfter(Name, "PARTITION", true), Partition);
}
