#pragma once
#include <cstdint>
#include <string>

// The located encryption program (TrueCrypt.exe or VeraCrypt.exe); cached for
// the life of the process once it names an existing file.
extern std::string CryptProgramPath;
// The located program's file name is TrueCrypt.exe (any letter case).
extern bool CryptIsTrueCrypt;
// For VeraCrypt: 119 from version 1.19, 115 from 1.15, else 114.
// Left as it was while TrueCrypt is located.
extern int32_t CryptVersionLevel;

// Path := the program's full path and true when a program is known; otherwise
// Path empty and false. Reads "Path" of "Common" in the per-user settings
// file and, when that is stale, asks the user in a file dialog (and writes
// the choice back there). Main thread only.
bool FindCryptProgram(std::string& Path);

// Offers a default install location in the file dialog: sets InitialDir to
// the folder of the first existing VeraCrypt (else TrueCrypt) program under
// Program Files, and FilterIndex to 2 when it is TrueCrypt.
void FindDefaultCryptProgram(std::string& InitialDir, uint32_t& FilterIndex);
