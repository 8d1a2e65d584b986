#include "VolumeInfoRules.h"

#include <algorithm>

#include "IniValues.h"
#include "PathNames.h"
#include "StrUtils.h"

namespace {

// CON, PRN, AUX, NUL, COM1-9 or LPT1-9 before the first dot, blanks after it
// ignored, as Windows opens the device for any of them.
bool IsDeviceName(std::string_view Component) {
  std::string_view Name = Component.substr(0, Component.find('.'));
  while (!Name.empty() && Name.back() == ' ') Name.remove_suffix(1);
  const std::string Base = AsciiUpper(Name);
  if (Base == "CON" || Base == "PRN" || Base == "AUX" || Base == "NUL") return true;
  return Base.size() == 4 && (Base.starts_with("COM") || Base.starts_with("LPT")) && Base[3] >= '1' && Base[3] <= '9';
}

bool NamesDevice(const std::string& Path) {
  std::size_t Start = 0;
  while (Start <= Path.size()) {
    std::size_t End = Start;
    while (End < Path.size() && !IsPathSeparator(Path[End])) ++End;
    if (IsDeviceName(std::string_view(Path).substr(Start, End - Start))) return true;
    Start = End + 1;
  }
  return false;
}

}  // namespace

bool HasControlCharacter(std::string_view Text) {
  return std::any_of(Text.begin(), Text.end(),
                     [](char C) { return static_cast<unsigned char>(C) < 0x20 || C == 0x7F; });
}

std::optional<char> LetterFromInfoValue(const std::string& Value, std::string& Refusal) {
  if (Value.empty()) return ' ';
  const char Letter = AsciiUpper(Value[0]);
  if (Letter >= 'A' && Letter <= 'Z' && (Value.size() == 1 || (Value.size() == 2 && Value[1] == ':'))) return Letter;
  Refusal = "must be a drive letter";
  return std::nullopt;
}

std::optional<bool> SwitchFromInfoValue(const std::string& Value, bool Default, std::string& Refusal) {
  if (Value.empty()) return Default;
  const std::optional<bool> Switch = IniTextToSwitch(Value);
  if (!Switch) Refusal = "must be yes or no";
  return Switch;
}

std::optional<int32_t> WholeFromInfoValue(const std::string& Value, int32_t Default, int32_t Min, int32_t Max,
                                          std::string& Refusal) {
  if (Value.empty()) return Default;
  // Digits only: a sign is not part of a count.
  const bool Digits = Value.find_first_not_of("0123456789") == std::string::npos;
  const std::optional<int32_t> Number = Digits ? ParseInt32(Value, TNumberRule::Strict) : std::nullopt;
  if (!Number || *Number < Min || *Number > Max) {
    Refusal = "must be a whole number from " + std::to_string(Min) + " to " + std::to_string(Max);
    return std::nullopt;
  }
  return *Number;
}

std::optional<std::string> DefinitionPath(const std::string& Value, char InfoDrive, std::string& Refusal) {
  if (Value.empty()) return Value;
  if (NamesDevice(Value)) {
    Refusal = "a device name is not a file";
    return std::nullopt;
  }
  if (InfoDrive == AppDataMarker) {
    if (HasDriveLetter(Value) || ClassifyPath(Value) == TPathKind::Network) return Value;
    Refusal = "needs a full path";
    return std::nullopt;
  }
  if (ClassifyPath(Value) == TPathKind::Network) {
    Refusal = "a network or device path is not on this drive";
    return std::nullopt;
  }
  const bool Drive = HasDriveLetter(Value);
  if (Drive && AsciiUpper(Value[0]) != AsciiUpper(InfoDrive)) {
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

std::optional<std::vector<std::string>> KeyfilePaths(const std::string& Value, char InfoDrive, std::string& Refusal) {
  std::vector<std::string> Paths;
  std::size_t Start = 0;
  while (Start <= Value.size()) {
    std::size_t End = Value.find(';', Start);
    if (End == std::string::npos) End = Value.size();
    const std::string Item(Trim(std::string_view(Value).substr(Start, End - Start)));
    Start = End + 1;
    if (Item.empty()) continue;
    if (Paths.size() == MaxKeyfiles) {
      Refusal = "more than " + std::to_string(MaxKeyfiles) + " keyfiles";
      return std::nullopt;
    }
    std::optional<std::string> Path = DefinitionPath(Item, InfoDrive, Refusal);
    if (!Path) return std::nullopt;
    Paths.push_back(std::move(*Path));
  }
  return Paths;
}
