#include "VolumeInfoRules.h"

#include <charconv>
#include "PathNames.h"
#include "StrUtils.h"

char LetterFromInfoValue(const std::string& Value) {
  return Value.size() == 1 && Value[0] >= 'A' && Value[0] <= 'Z' ? Value[0] : ' ';
}

namespace {

bool HasDrive(const std::string& Path) {
  return Path.size() >= 2 && Path[1] == ':' &&
         ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z'));
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

std::optional<int32_t> PimFromInfoValue(const std::string& Value, std::string& Refusal) {
  if (Value.empty()) return 0;
  if (Value.find_first_not_of("0123456789") != std::string::npos) {
    Refusal = "PIM must be a number";
    return std::nullopt;
  }
  int64_t Pim = 0;
  const bool InRange = std::from_chars(Value.data(), Value.data() + Value.size(), Pim).ec == std::errc();
  if (!InRange || Pim < 1 || Pim > MaxPim) {
    Refusal = "PIM must be from 1 to " + std::to_string(MaxPim);
    return std::nullopt;
  }
  return int32_t(Pim);
}

std::optional<std::vector<std::string>> KeyfilePaths(const std::string& Value, char InfoDrive, std::string& Refusal) {
  std::vector<std::string> Paths;
  std::size_t Start = 0;
  while (Start <= Value.size()) {
    std::size_t End = Value.find(';', Start);
    if (End == std::string::npos) End = Value.size();
    const std::string Item = Trim(Value.substr(Start, End - Start));
    Start = End + 1;
    if (Item.empty()) continue;
    std::optional<std::string> Path = DefinitionPath(Item, InfoDrive, Refusal);
    if (!Path) return std::nullopt;
    Paths.push_back(std::move(*Path));
  }
  return Paths;
}
