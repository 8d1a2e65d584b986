#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "MountedQuery.h"
#include "FileTimes.h"

// One scanned drive.
struct TSysVolume {
  char Letter = 0;   // drive letter, or AppDataMarker
  int32_t Disk = 0;  // disk of the first extent; from the mount list for a drive without one
  int32_t Partition = 0;
  std::string MountedPath;      // container path from the mount list (upper case), else empty
  TFileTicks InfoWritten{};     // last write of the drive's ".tcvinfo.ini"; zero when none
  uint32_t InfoAttributes = 0;  // its attributes, when there is one
  uint64_t InfoSize = 0;        // its size in bytes
};

constexpr uint16_t DriveTypeRemovable = 2;
constexpr uint16_t DriveTypeFixed = 3;

// "ABC...Z", or the same in lower case.
std::string DriveLetters(bool Upper);
// The letters A..Z, in order, whose root has the given Windows drive type.
std::string DrivesOfType(uint16_t DriveType);

// Disk of the drive's first extent, or -1.
int32_t GetVolumeDiskNumber(char Letter);

// Rebuilds SysVolumes, the previous scan, from the letters of ScanList
// (MountList empty on entry; Program's driver is asked lazily and the list
// handed back filled or empty). True when anything differs from the previous
// scan; SysVolumes is replaced only then.
bool ScanSysVolumes(const std::string& ScanList, const TCryptProgram& Program, std::vector<TSysVolume>& SysVolumes,
                    std::vector<TMountedVolume>& MountList);

// A letter to mount on: the first one after Letter that is not Taken,
// wrapping round to C; never A, B or Letter itself; 'Z' when all are taken.
char FindFreeDriveLetter(char Letter, const std::function<bool(char)>& Taken);
