#pragma once
// The program's well-known folders and path expansion.
#include <string>

// The shell's folder for a CSIDL value (no trailing backslash added).
std::string GetSpecialFolder(int Csidl);
// With trailing backslash.
std::string GetAppDataFolder();
// Without trailing backslash.
std::string GetProgramFilesFolder();
// Folder of the running executable with trailing backslash (cached).
std::string GetProgramFolder();
// Full absolute path; relative ones are resolved against the current folder.
std::string ExpandPath(const std::string& Path);
bool SetCurrentDir(const std::string& Path);
