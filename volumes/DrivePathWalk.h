#pragma once
// Whether a path a drive's ".tcvinfo.ini" names stays on that drive in the
// file system too, not only in its text: a symbolic link, junction or mount
// point on a stick could lead to a share or another volume. Kept free of
// Windows calls; the file system is asked through TPathProbe.
#include <cstdint>
#include <string>

// What the file system tells of one path, without following a link at its
// end.
class TPathProbe {
 public:
  virtual ~TPathProbe() = default;
  // The path's attributes as the system gives them, or PathMissing.
  virtual uint32_t Attributes(const std::string& Path) const = 0;
};

// The system's values for a missing path, a folder and a reparse point.
constexpr uint32_t PathMissing = 0xFFFFFFFF;
constexpr uint32_t PathIsFolder = 0x10;
constexpr uint32_t PathIsReparsePoint = 0x400;

enum class TDrivePath {
  File,         // every component is there, the last is a file, none is a link
  Missing,      // a component is missing, or the last is a folder
  CrossesLink,  // a component is a reparse point: refused, not followed
};

// Walks Path ("E:\a\b.hc") from its drive down: one Attributes call per
// component, stopping at the first one missing or a reparse point, so a link
// is never gone through.
TDrivePath WalkDrivePath(const std::string& Path, const TPathProbe& Probe);
