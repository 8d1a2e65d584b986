#include "VolumeInfoRules.h"
#include "PathNames.h"

char LetterFromInfoValue(const std::string& Value) {
  return Value.size() == 1 && Value[0] >= 'A' && Value[0] <= 'Z' ? Value[0] : ' ';
}

namespace {

bool HasDrive(const std::string& Path) {
  return Path.size() >= 2 && Path[1] == ':' && ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z'));
}

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C; }

}  // namespace

bool IsNetworkPath(const std::string& Path) {
  return Path.size() >= 2 && IsPathSeparator(Path[0]) && IsPathSeparator(Path[1]);
}

std::optional<std::string> DefinitionPath(const std::string& Value, char InfoDrive, std::string& Refusal) {
  if (Value.empty()) return Value;
  if (InfoDrive == AppDataMarker) {
    if (HasDrive(Value) || IsNetworkPath(Value)) return Value;
    Refusal = "needs a full path";
    return std::nullopt;
  }
  if (IsNetworkPath(Value)) {
    Refusal = "a network or device path is not on this drive";
    return std::nullopt;
  }
  const bool Drive = HasDrive(Value);
  if (Drive && UpperAscii(Value[0]) != UpperAscii(InfoDrive)) {
    Refusal = "another drive is not this drive";
    return std::nullopt;
  }
  if (Value.find(':', Drive ? 2 : 0) != std::string::npos) {
    Refusal = "a colon is not part of a path on this drive";
    return std::nullopt;
  }
  if (Drive) return Value;
  std::string Path{InfoDrive, ':'};
  if (!IsPathSeparator(Value[0])) Path += '\\';
  return Path + Value;
}
