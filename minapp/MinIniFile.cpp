#include "MinIniFile.h"

#include <windows.h>

#include <memory>

#include "IniValues.h"

TMinIniFile::TMinIniFile(std::string FileName, bool WriteMode)
    : WriteMode(WriteMode), FileName(std::move(FileName)) {}

std::string TMinIniFile::ReadWriteString(const std::string& Key, const std::string& Value) {
  if (WriteMode) {
    // An empty value is written as "Key=", never as a deletion.
    WritePrivateProfileStringA(Section.c_str(), Key.c_str(), Value.c_str(), FileName.c_str());
    return Value;
  }
  constexpr DWORD BufferSize = 4096;
  char Buffer[BufferSize];
  Buffer[0] = 0;
  const DWORD Length =
      GetPrivateProfileStringA(Section.c_str(), Key.c_str(), Value.c_str(), Buffer, BufferSize, FileName.c_str());
  return Length ? std::string(Buffer) : std::string();
}

int TMinIniFile::ReadWriteInteger(const std::string& Key, int Value) {
  if (WriteMode) {
    ReadWriteString(Key, std::to_string(Value));
    return Value;
  }
  return static_cast<int>(GetPrivateProfileIntA(Section.c_str(), Key.c_str(), Value, FileName.c_str()));
}

bool TMinIniFile::ReadWriteBool(const std::string& Key, bool Value) {
  return IniTextToBool(ReadWriteString(Key, Value ? "1" : "0"), Value);
}

std::vector<std::string> TMinIniFile::ReadSections() const {
  constexpr DWORD BufferSize = 32767;
  const auto Buffer = std::make_unique<char[]>(BufferSize);
  const DWORD Length = GetPrivateProfileSectionNamesA(Buffer.get(), BufferSize, FileName.c_str());
  return SplitZeroTerminatedList(Buffer.get(), Length);
}
