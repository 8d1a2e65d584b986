#include "VolumeInfoRules.h"
#include "PathNames.h"

char LetterFromInfoValue(const std::string& Value) {
  return Value.size() == 1 && Value[0] >= 'A' && Value[0] <= 'Z' ? Value[0] : ' ';
}

std::string CompleteContainerPath(const std::string& Value, char InfoDrive) {
  if (Value.empty() || !ExtractDrive(Value).empty()) return Value;
  std::string Path{InfoDrive, ':'};
  if (!IsPathSeparator(Value[0])) Path += '\\';
  return Path + Value;
}
