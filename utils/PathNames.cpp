#include "PathNames.h"

bool IsPathSeparator(char C) { return C == '\\' || C == '/'; }

TPathKind ClassifyPath(std::string_view Path) {
  const bool Letter = !Path.empty() && ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z'));
  if (Letter && Path.size() >= 2 && Path[1] == ':')
    return Path.size() >= 3 && IsPathSeparator(Path[2]) ? TPathKind::DriveFull : TPathKind::DriveRelative;
  if (Path.size() >= 2 && IsPathSeparator(Path[0]) && IsPathSeparator(Path[1])) return TPathKind::Network;
  return !Path.empty() && IsPathSeparator(Path[0]) ? TPathKind::RootRelative : TPathKind::Relative;
}

bool HasDriveLetter(std::string_view Path) {
  const TPathKind Kind = ClassifyPath(Path);
  return Kind == TPathKind::DriveFull || Kind == TPathKind::DriveRelative;
}

bool IsFullPath(std::string_view Path) {
  const TPathKind Kind = ClassifyPath(Path);
  return Kind == TPathKind::DriveFull || Kind == TPathKind::Network;
}

std::string ExtractDrive(const std::string& Path) {
  if (HasDriveLetter(Path)) return Path.substr(0, 2);
  if (ClassifyPath(Path) == TPathKind::Network) {
    // \\server\share: stop at the separator after the share name.
    std::size_t Seps = 0;
    for (std::size_t i = 2; i < Path.size(); ++i)
      if (IsPathSeparator(Path[i]) && ++Seps == 2) return Path.substr(0, i);
    return Path;
  }
  return {};
}

namespace {

// Zero-based position of the last separator or colon, npos when none.
std::size_t LastDelimiter(const std::string& Path) { return Path.find_last_of("\\/:"); }

}  // namespace

std::string ExtractDir(const std::string& Path) {
  std::size_t p = LastDelimiter(Path);
  if (p == std::string::npos) return {};
  if (Path[p] == ':') return Path.substr(0, p + 1);
  // Keep the separator of a root ("D:\", "\\") but drop any other.
  if (p > 0 && (Path[p - 1] == ':' || IsPathSeparator(Path[p - 1]))) return Path.substr(0, p + 1);
  return Path.substr(0, p);
}

std::string ExtractName(const std::string& Path) {
  std::size_t p = LastDelimiter(Path);
  return p == std::string::npos ? Path : Path.substr(p + 1);
}

std::string IncludeTrailingBackslash(const std::string& Path) {
  if (!Path.empty() && IsPathSeparator(Path.back())) return Path;
  return Path + '\\';
}

std::string RemoveFileExt(const std::string& Name) {
  std::size_t p = Name.rfind('.');
  return p == std::string::npos ? Name : Name.substr(0, p);
}
