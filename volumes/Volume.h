#pragma once
#include <cstdint>
#include <string>
#include <vector>

class TTCFileMonitor;

// Stands in for a drive letter to denote the per-user ".tcvinfo.ini".
constexpr char AppDataMarker = '\x01';

// One configured volume: a container file, or a partition given by disk and
// partition number when File is empty.
struct TTCVolume {
  int32_t Index = 0;            // position in the list it was read into
  char InfoDrive = 0;           // drive whose ".tcvinfo.ini" defined it, or AppDataMarker
  int32_t Disk = 0;             // physical disk of a partition volume
  int32_t Partition = 0;        // 0: a container file
  std::string File;             // full container path; empty for a partition volume
  uint8_t FileSetModified = 0;  // 0 off, 1 on, 2 on and a change inside was seen
  TTCFileMonitor* Monitor = nullptr; // running change monitor; not owned
  std::string Label;            // the INI section name
  char Letter = 0;              // wanted drive letter 'A'..'Z', or ' ' for any free one
  bool Auto = false;            // wanted mounted
  bool DismountIfInet = false;  // kept with the entry; nothing acts on it
  bool DefaultPass = false;     // mount with the shared default password
  bool TrueCrypt = false;       // mount in TrueCrypt-compatibility mode
  bool MountPending = false;
  bool DismountPending = false;
  uint32_t PendingTime = 0;     // milliseconds waited for the pending outcome
  char MountedLetter = 0;       // drive it is mounted on now; 0 when not mounted
  std::string Password;         // the volume's own password once entered
};

using TTCVolumesArray = std::vector<TTCVolume>;

// The configured volumes in reading order; other code names a volume by its
// position here.
extern TTCVolumesArray Volumes;

// Looks for a volume's identity in List: the container path without regard
// to case when File is not empty (Disk and Partition are then ignored), else
// the pair Disk, Partition. The first match wins: Entry points at it and
// *Index (when given) receives its position. No match: Entry is null, false.
bool FindVolume(int32_t Disk, int32_t Partition, const std::string& File,
                TTCVolumesArray& List, TTCVolume*& Entry, int* Index = nullptr);

bool IsValidVolumeIndex(int Index);
// A valid index whose entry has a MountedLetter.
bool IsVolumeMounted(int Index);
