#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FileMonitor.h"
#include "MountCommandLine.h"
#include "SecretText.h"
#include "VolumeInfoRules.h"

// What a volume is, whatever list it sits in: a container file, or a
// partition given by disk and partition number when File is empty.
struct TVolumeIdentity {
  int32_t Disk = 0;
  int32_t Partition = 0;
  std::string File;
};

// The one comparison of identities: a container and a partition are never
// the same volume; containers compare by SameVolumeFileKey.
bool SameVolume(const TVolumeIdentity& A, const TVolumeIdentity& B);
// The key two container paths share exactly when they name the same
// container: equal without regard to letter case, by the user's locale.
std::string VolumeFileKey(const std::string& File);

// One configured volume. Move-only: it owns its container monitor.
struct TTCVolume {
  int32_t Index = 0;                        // position in the list it was read into
  char InfoDrive = 0;                       // drive whose ".tcvinfo.ini" defined it, or AppDataMarker
  int32_t Disk = 0;                         // physical disk of a partition volume
  int32_t Partition = 0;                    // 0: a container file
  std::string File;                         // full container path; empty for a partition volume
  uint8_t FileSetModified = 0;              // 0 off, 1 on, 2 on and a change inside was seen
  std::unique_ptr<TTCFileMonitor> Monitor;  // running change monitor
  std::string Label;                        // the INI section name
  char Letter = 0;                          // wanted drive letter 'A'..'Z', or ' ' for any free one
  bool Auto = false;                        // wanted mounted
  bool DismountIfInet = false;              // kept with the entry; nothing acts on it
  bool DefaultPass = false;                 // mount with the shared default password
  bool TrueCrypt = false;                   // mount in TrueCrypt-compatibility mode
  bool NoPassword = false;                  // keyfiles alone open it: never asked for a password
  TMountOptions Options;                    // read-only, removable, keyfiles, PIM
  bool MountPending = false;
  bool DismountPending = false;
  uint32_t PendingTime = 0;  // milliseconds waited for the pending outcome
  char MountedLetter = 0;    // drive it is mounted on now; 0 when not mounted
  SecretText Password;       // the volume's own password once entered

  TVolumeIdentity Identity() const { return {Disk, Partition, File}; }
  bool Mounted() const { return MountedLetter != 0; }
};

using TTCVolumesArray = std::vector<TTCVolume>;

// The entry of List with this identity, or null.
TTCVolume* FindVolume(const TVolumeIdentity& Identity, TTCVolumesArray& List);
