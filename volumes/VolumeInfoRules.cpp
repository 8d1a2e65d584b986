#include "VolumeInfoRules.h"
#include <cmath>

namespace {
bool IsPathDelimiter(char C) { return C == '\\' || C == '/'; }
} // namespace

char LetterFromInfoValue(const std::string& Value) {
  return Value.size() == 1 && Value[0] >= 'A' && Value[0] <= 'Z' ? Value[0] : ' ';
}

bool HasDrivePart(const std::string& Path) {
  return (Path.size() >= 2 && Path[1] == ':') ||
         (Path.size() >= 2 && IsPathDelimiter(Path[0]) && IsPathDelimiter(Path[1]));
}

std::string CompleteContainerPath(const std::string& Value, char InfoDrive) {
  if (Value.empty() || HasDrivePart(Value)) return Value;
  std::string Path{InfoDrive, ':'};
  if (!IsPathDelimiter(Value[0])) Path += '\\';
  return Path + Value;
}

bool SameTimeStamp(double A, double B) {
  return std::fabs(A - B) < 1.0 / 86400000.0;
}
