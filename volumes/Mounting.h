#pragma once
#include <cstdint>
#include <functional>
#include <string>

// A pending mount or dismount fails once its PendingTime exceeds this.
constexpr uint32_t PendingTimeout = 60000;
// Pause after launching a mount.
constexpr uint32_t MountLaunchPause = 50;

// The shared default password held in memory.
extern std::string DefaultPassword;

// Set by the tray application; called as (Index, Text, Success) when a
// pending mount ("Volume Mounted") or dismount ("Volume Dismounted") ends.
extern std::function<void(int Index, const std::string& Text, bool Success)> VolumeResultHook;

// Marks a valid, not mount-pending volume wanted (Auto) and, with
// ProcessNow, runs a pass. Launches nothing by itself.
void MountVolume(int Index, bool ProcessNow);
// MountVolume(i, false) for every volume, then one pass.
void MountAll();
// Launches the dismount of a mounted volume that is not dismount-pending;
// Auto := KeepAuto.
void DismountVolume(int Index, bool KeepAuto);
// DismountVolume for every mounted volume, in order.
void DismountAll(bool KeepAuto);
// While set, passes start no mount: the volumes were dismounted because the
// user's console session was switched away, and stay wanted (Auto) only for
// the user's return, not for the next timer tick.
extern bool MountsHeld;
// One pass over Volumes: follows pending work, starts monitors, mounts the
// volumes wanted mounted (asking for passwords). Returns at once while a pass
// is running (afBusy).
void ProcessVolumes();

// Launch the encryption program without waiting; nothing is started when no
// program is located.
void MountCommand(const std::string& Path, const std::string& Password, const std::string& Label,
                  bool TrueCryptMode, char Letter);
void DismountCommand(char Letter);

// The final clean-up of volume control, after the application object is
// gone: frees the volume timer, launches the dismount of every mounted
// volume unless afLoggingOff or afNoDismount is set, and releases the volume
// tables and the passwords.
void FinalizeVolumeControl();
