#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FileMonitor.h"
#include "Launch.h"
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

// Where a volume is in its life; the one state volume control keeps of it.
enum class TVolumeState : uint8_t {
  Idle,              // neither mounted nor being mounted
  AwaitingPassword,  // wanted mounted, waits for the answer of a question
  Mounting,          // the program was started to mount it
  Mounted,           // the driver reports it
  Dismounting,       // the program was started to dismount it
  AwaitingForce,     // mounted; a dismount found it in use and waits for the user's yes or no
};

// One configured volume. Move-only: it owns its container monitor and its
// launch.
struct TVolume {
  int32_t Index = 0;                              // position in the list it was read into
  char InfoDrive = 0;                             // drive whose ".tcvinfo.ini" defined it, or AppDataMarker
  int32_t Disk = 0;                               // physical disk of a partition volume
  int32_t Partition = 0;                          // 0: a container file
  std::string File;                               // full container path; empty for a partition volume
  uint8_t FileSetModified = 0;                    // 0 off, 1 on, 2 on and a change inside was seen
  std::unique_ptr<TVolumeChangeMonitor> Monitor;  // running change monitor
  std::string Label;                              // the INI section name
  char Letter = 0;                                // wanted drive letter 'A'..'Z', or ' ' for any free one
  bool Auto = false;                              // wanted mounted
  bool DismountIfInet = false;                    // kept with the entry; nothing acts on it
  bool DefaultPass = false;                       // mount with the shared default password
  bool TrueCrypt = false;                         // mount in TrueCrypt-compatibility mode
  bool NoPassword = false;                        // keyfiles alone open it: never asked for a password
  TMountOptions Options;                          // read-only, removable, keyfiles, PIM
  TVolumeState State = TVolumeState::Idle;
  uint64_t Deadline = 0;            // tick count at which Mounting or Dismounting has failed
  std::unique_ptr<TLaunch> Launch;  // the program started for Mounting or Dismounting
  char LaunchLetter = 0;            // the drive letter Launch mounts or dismounts
  // Mounting for a hold (lock, sleep, switch of user, removal of its drive):
  // dismounted as soon as it appears.
  bool DismountWhenMounted = false;
  bool DismountForced = false;  // the running dismount closes open files
  bool PasswordFailed = false;  // its last mount failed for the password: the question says so
  bool Defined = true;          // false: its definition went while it was in use
  char MountedLetter = 0;       // drive it is mounted on now; 0 when not mounted
  SecretText Password;          // the volume's own password once entered

  TVolumeIdentity Identity() const { return {Disk, Partition, File}; }
  bool Mounted() const { return MountedLetter != 0; }
  // Mounting, mounted or dismounting: the volume outlives its definition.
  bool InUse() const {
    return State == TVolumeState::Mounting || State == TVolumeState::Mounted || State == TVolumeState::Dismounting ||
           State == TVolumeState::AwaitingForce;
  }
  // Uses the shared default password.
  bool SharedPassword() const { return DefaultPass && !NoPassword; }
};

// The entry of List with this identity, or null.
TVolume* FindVolume(const TVolumeIdentity& Identity, std::vector<TVolume>& List);
