#include "MinIniFile.h"

#include "Files.h"
#include "IniValues.h"
#include "ProfileCodePage.h"
#include "StrUtils.h"

namespace {

std::string FileBytes(const std::string& FileName) {
  std::string Bytes;
  // A missing file reads as an empty one.
  if (!ReadFileBytes(FileName, Bytes)) Bytes.clear();
  return Bytes;
}

}  // namespace

TMinIniFile::TMinIniFile(std::string FileName, bool WriteMode)
    : WriteMode(WriteMode), FileName(std::move(FileName)), Text(FileBytes(this->FileName), AnsiProfileCodePage()) {}

TMinIniFile::~TMinIniFile() {
  if (!WriteMode || !Text.Modified()) return;
  const TWriteOutcome Outcome = WriteFileSafely(FileName, Text.Bytes());
  if (OnSaved) OnSaved(Outcome);
}

std::string TMinIniFile::ReadWriteString(const std::string& Key, const std::string& Value) {
  if (WriteMode) {
    // An empty value is written as "Key=", never as a deletion.
    Text.Write(Section, Key, Value);
    return Value;
  }
  return Text.Read(Section, Key).value_or(Value);
}

int TMinIniFile::ReadWriteInteger(const std::string& Key, int Value) {
  if (WriteMode) {
    ReadWriteString(Key, std::to_string(Value));
    return Value;
  }
  return ParseInt32(Text.Read(Section, Key).value_or(""), TNumberRule::Profile).value_or(Value);
}

bool TMinIniFile::ReadWriteBool(const std::string& Key, bool Value) {
  return IniTextToBool(ReadWriteString(Key, Value ? "1" : "0"), Value);
}

std::vector<std::string> TMinIniFile::ReadSections() const { return Text.Sections(); }
