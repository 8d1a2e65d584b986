#pragma once
// What the library sets up when the program starts, and the program's
// identity strings.
#include <string>

// Executable file name without folder and extension.
extern std::string ProgramName;
// Caption of message boxes and windows; starts as ProgramName.
extern std::string AppTitle;
// Set by the program's start-up; part of the per-user configuration folder.
extern std::string VendorName;

// Locale-aware comparison of UTF-16 texts (user's default locale):
// negative, 0 or positive.
int CompareWideText(const std::wstring& A, const std::wstring& B, bool IgnoreCase);

// Runs once on the main thread before the program's own start-up: sets
// ProgramName and AppTitle when still empty.
void InitUtilsUnit();
