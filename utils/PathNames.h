#pragma once
// Cutting paths into drive, folder and name. Backslash is the separator; a
// slash is accepted wherever a separator is looked for.
#include <string>
#include <string_view>

bool IsPathSeparator(char C);

// Where a path starts from, by its first characters; the one place that
// tells a drive path from a share or a relative one.
enum class TPathKind {
  Relative,       // "x", ".\x": the current folder
  RootRelative,   // "\x": the current drive's root
  DriveRelative,  // "C:x": the drive's current folder
  DriveFull,      // "C:\x"
  Network,        // "\\server\share\x", and device paths "\\.\X:"
};
TPathKind ClassifyPath(std::string_view Path);
// "C:" and "C:\" paths: on a drive letter.
bool HasDriveLetter(std::string_view Path);
// Names one file whatever the current folder and drive: "C:\x" or a share.
bool IsFullPath(std::string_view Path);
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
