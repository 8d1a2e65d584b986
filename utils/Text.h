#pragma once
// Windows side of the string routines: UTF-8/UTF-16 conversion at the wide
// API, locale-aware comparison, the command line.
#include <string>
#include <vector>

#include "StrUtils.h"

std::wstring Utf8ToWide(const std::string& S);
std::string WideToUtf8(const std::wstring& S);
std::string WideToUtf8(const wchar_t* S);  // NUL-terminated; null gives ""
// Locale-aware comparison ignoring case: 0 equal, <0 A first, >0 B first.
int CompareTextIgnoreCase(const std::string& A, const std::string& B);
// CompareTextIgnoreCase(A, B) == 0.
bool SameTextUtf8(const std::string& A, const std::string& B);

// The running program's file, as the system loaded it.
std::wstring ProgramFilePath();
// The command line's arguments as the program was started, the first one
// naming the program.
std::vector<std::string> CommandLineArgs();
// HasParamIn over the running program's command line.
bool HasParam(const std::string& Name, std::string& Value);
bool HasSwitch(const std::string& Name);
