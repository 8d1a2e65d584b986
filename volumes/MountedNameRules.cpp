#include "MountedNameRules.h"

namespace {

bool IsBlankOrControl(char C) { return static_cast<unsigned char>(C) <= ' '; }

std::string Trim(const std::string& Text) {
  std::size_t First = 0, Last = Text.size();
  while (First < Last && IsBlankOrControl(Text[First])) ++First;
  while (Last > First && IsBlankOrControl(Text[Last - 1])) --Last;
  return Text.substr(First, Last - First);
}

std::string TrimLeft(const std::string& Text) {
  std::size_t First = 0;
  while (First < Text.size() && IsBlankOrControl(Text[First])) ++First;
  return Text.substr(First);
}

int DigitValue(char C, int Base) {
  int D = C >= '0' && C <= '9' ? C - '0' : C >= 'A' && C <= 'F' ? C - 'A' + 10 : C >= 'a' && C <= 'f' ? C - 'a' + 10 : 99;
  return D < Base ? D : -1;
}

} // namespace

std::string StripNtPathPrefix(const std::string& Name) {
  return Name.rfind("\\??\\", 0) == 0 ? Name.substr(4) : Name;
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
  const std::string Trimmed = Trim(Name);
  const std::string DiskWord = "HARDDISK", PartitionWord = "PARTITION";

  std::string DiskText;
  std::size_t DiskAt = Trimmed.find(DiskWord);
  if (DiskAt != std::string::npos) {
    DiskText = TrimLeft(Trimmed.substr(DiskAt + DiskWord.size()));
    std::size_t Slash = DiskText.find('\\');
    if (Slash != std::string::npos) DiskText.resize(Slash);
    while (!DiskText.empty() && IsBlankOrControl(DiskText.back())) DiskText.pop_back();
  }
  if (!TextToInt32(DiskText, Disk)) return false;

  std::size_t PartitionAt = Trimmed.rfind(PartitionWord);
  std::string PartitionText =
      PartitionAt == std::string::npos ? std::string() : TrimLeft(Trimmed.substr(PartitionAt + PartitionWord.size()));
  return TextToInt32(PartitionText, Partition);
}
