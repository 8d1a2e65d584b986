#pragma once
#include <cstdint>
#include <string>

// The located encryption program (TrueCrypt.exe or VeraCrypt.exe).
struct TCryptProgram {
  // Full path; kept for the life of volume control once it names an
  // existing file.
  std::string Path;
  // The program's file name is TrueCrypt.exe (any letter case).
  bool IsTrueCrypt = false;
  // For VeraCrypt: 119 from version 1.19, 115 from 1.15, else 114. Left as
  // it was while TrueCrypt is located.
  int32_t VersionLevel = 0;
};

// The version level of a VeraCrypt version text.
int32_t CryptVersionLevel(const std::string& Version);

// Offers a default install location in the program dialog: sets InitialDir to
// the folder of the first existing VeraCrypt (else TrueCrypt) program under
// Program Files, and FilterIndex to 2 when it is TrueCrypt.
void FindDefaultCryptProgram(std::string& InitialDir, uint32_t& FilterIndex);
