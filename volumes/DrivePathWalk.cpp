#include "DrivePathWalk.h"

#include "PathNames.h"

TDrivePath WalkDrivePath(const std::string& Path, const TPathProbe& Probe) {
  // The drive part ("E:") is the stick itself.
  std::size_t End = HasDriveLetter(Path) ? 2 : 0;
  uint32_t Attributes = PathMissing;
  while (End < Path.size()) {
    while (End < Path.size() && IsPathSeparator(Path[End])) ++End;
    if (End == Path.size()) break;
    while (End < Path.size() && !IsPathSeparator(Path[End])) ++End;
    Attributes = Probe.Attributes(Path.substr(0, End));
    if (Attributes == PathMissing) return TDrivePath::Missing;
    if (Attributes & PathIsReparsePoint) return TDrivePath::CrossesLink;
    if (End < Path.size() && !(Attributes & PathIsFolder)) return TDrivePath::Missing;
  }
  return Attributes != PathMissing && !(Attributes & PathIsFolder) ? TDrivePath::File : TDrivePath::Missing;
}
