#pragma once
// Cutting paths into drive, folder and name. Backslash is the separator; a
// slash is accepted wherever a separator is looked for.
#include <string>

bool IsPathSeparator(char C);
// "D:" of "D:\x"; "\\server\share" of "\\server\share\x"; else empty.
std::string ExtractDrive(const std::string& Path);
// Text up to the last separator or colon: "D:\x" -> "D:\", "D:x" -> "D:",
// "\a\b" -> "\a"; empty without separator or colon.
std::string ExtractDir(const std::string& Path);
// Text after the last separator or colon.
std::string ExtractName(const std::string& Path);
// Path with exactly one trailing backslash when it has none.
std::string IncludeTrailingBackslash(const std::string& Path);
// File name without its extension (the text up to its last dot).
std::string RemoveFileExt(const std::string& Name);
