#pragma once
#include <functional>
#include <string>
#include <vector>

#include "Files.h"
#include "ProfileText.h"

// Accessor for one INI file, read once into memory by its wide path: a
// reader answers every key from memory, a writer saves the file whole when it
// goes, changing only the lines it wrote. An object either reads or writes
// for its whole life: a settings routine written once with these calls
// serves both for loading and for saving.
class TMinIniFile {
 public:
  TMinIniFile(std::string FileName, bool WriteMode);
  // A writer saves what it changed, as WriteFileSafely does, and tells
  // OnSaved how.
  ~TMinIniFile();
  TMinIniFile(const TMinIniFile&) = delete;
  TMinIniFile& operator=(const TMinIniFile&) = delete;

  const bool WriteMode;
  const std::string FileName;
  // Section the value operations use; the caller sets it before each group.
  std::string Section;
  std::function<void(TWriteOutcome)> OnSaved;

  // Read mode: the stored text (an empty stored text stays empty), or Value
  // when the key is missing. Write mode: stores Value and returns it.
  std::string ReadWriteString(const std::string& Key, const std::string& Value);
  // Read mode: the stored number (ParseInt32, TNumberRule::Profile) or Value; write mode: stores
  // Value in decimal.
  int ReadWriteInteger(const std::string& Key, int Value);
  // Read mode: a stored number is true when not zero, "True"/"False" in any
  // letter case are read as such, anything else gives Value. Write mode:
  // stores "1" or "0".
  bool ReadWriteBool(const std::string& Key, bool Value);
  // Names of all sections in file order; empty when there is no file.
  std::vector<std::string> ReadSections() const;

 private:
  TProfileText Text;
};
