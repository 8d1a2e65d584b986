#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "CryptProgram.h"
#include "DriveScan.h"
#include "FileMonitor.h"
#include "MountedQuery.h"
#include "Volume.h"
#include "VolumeControlHost.h"
#include "VolumeTimer.h"

// A pending mount or dismount fails once its PendingTime exceeds this.
constexpr uint32_t PendingTimeout = 60000;
// Pause after launching a mount.
constexpr uint32_t MountLaunchPause = 50;
// How often a refresh that waits for a modal loop to end looks again.
constexpr uint32_t RefreshRetryInterval = 200;
// The text after the label when a drive took its volume away.
inline constexpr char DriveRemovedCause[] = "drive removed";

// Volume control: the configured volumes, the drives they come from, the
// passwords, the encryption program and the timer that follows pending
// work. The application owns one and answers its questions through Host.
// Main thread only. Volumes are named by identity: any call that runs a
// nested message loop (a prompt, the program dialog) may replace Volumes.
class TVolumeControl {
 public:
  // Needs the application window (for the timer).
  explicit TVolumeControl(TVolumeControlHost& Host);
  // Stops the monitors and wipes the passwords; dismounts nothing.
  ~TVolumeControl();
  TVolumeControl(const TVolumeControl&) = delete;
  TVolumeControl& operator=(const TVolumeControl&) = delete;

  // The configured volumes in reading order.
  TTCVolumesArray Volumes;
  // The drives of the last scan that found a change.
  TSysVolumeArray SysVolumes;
  // The shared default password.
  SecretText DefaultPassword;
  // While set, passes start no mount: the volumes were dismounted because the
  // user left the session (switched away, locked it) or the system sleeps,
  // and stay wanted (Auto) only for the user's return or the resume, not for
  // the next timer tick.
  bool MountsHeld = false;
  // The located encryption program.
  TCryptProgram CryptProgram;
  // Modification time of the settings file seen by the last refresh.
  double SettingsFileDate = 0;
  TTCTimer Timer;

  // A pass is running (possibly waiting in a prompt).
  bool Busy() const { return PassRunning; }
  // A question (password or program) is put to the user now.
  bool Asking() const { return AskingForPassword || AskingForProgram; }
  // Ends the open question as "not now": its answer is dropped, Auto stays
  // as it was, nothing is written and the running pass mounts nothing more.
  // The host closes the question's window.
  void PostponeQuestion();

  // --- Definitions ---
  // One refresh: scans the drives and, only when they changed, re-reads every
  // ".tcvinfo.ini" and merges the result into Volumes; notices a changed
  // settings file. Tells the host when anything changed.
  void RefreshVolumes();
  // Makes NewList the current Volumes, carrying each surviving identity's
  // run-time state (password, pending work, Auto, monitor) over from the old
  // list, one old entry to at most one new one; sets MountedLetter from
  // MountList when it is not empty, and stops the monitors of volumes that
  // went away.
  void MergeVolumes(TTCVolumesArray& NewList, const TTCMountedVolumeArray& MountList);

  // --- Mounting ---
  // Marks the volume, when known and not mount-pending, wanted (Auto) and,
  // with ProcessNow, runs a pass. Launches nothing by itself.
  void MountVolume(const TVolumeIdentity& Identity, bool ProcessNow);
  // Every volume wanted, then one pass.
  void MountAll();
  // Launches the dismount of the volume when it is mounted and not
  // dismount-pending; Auto := KeepAuto.
  void DismountVolume(const TVolumeIdentity& Identity, bool KeepAuto);
  // DismountVolume for every mounted volume, in order.
  void DismountAll(bool KeepAuto);
  // DismountAll, then waits at most TimeoutMs for the driver to stop
  // reporting those volumes (the system is about to sleep).
  void DismountAllAndWait(bool KeepAuto, uint32_t TimeoutMs);
  // One pass over Volumes: follows pending work, starts monitors, mounts the
  // volumes wanted mounted (asking for passwords). Returns at once while a
  // pass is running.
  void ProcessVolumes();

  // --- Drives coming and going ---
  // One refresh and one pass as soon as no modal loop (prompt, dialog,
  // message box, menu) runs; calls until then add nothing, so a burst of
  // arrivals gives one.
  void RefreshSoon();
  // The drives of UnitMask (bit 0 is A:) went away: each mounted container
  // volume on one of them is dismounted by force at once, without waiting
  // for its letter to go, reported with DriveRemovedCause and left wanted
  // (Auto). Then RefreshSoon.
  void DrivesRemoved(uint32_t UnitMask);

  // --- Idle ---
  // After this many minutes without user input every volume is dismounted
  // and no longer wanted; 0 is off. The check runs only while a volume is
  // mounted.
  void SetIdleMinutes(int32_t Minutes);

  // --- Encryption program ---
  // Path := the program's full path and true when a program is known; otherwise
  // Path empty and false. Reads "Path" of "Common" in the per-user settings
  // file and, when that is stale, asks the host (and writes the choice back
  // there). One question at a time: asked again meanwhile, it gives false.
  bool FindCryptProgram(std::string& Path);

  // --- Container monitors ---
  // Starts a monitor when the entry's mark is 1, it has none, it is mounted
  // and its container exists. A mark of 2 is left alone, so the stamp waits
  // for the dismount.
  void StartMonitor(TTCVolume& Entry);
  // Stamps the container with the current time when the mark is 2 (setting it
  // back to 1), then stops and frees the entry's monitor. The only place a
  // monitor is freed.
  void StopMonitor(TTCVolume& Entry);
  void StopFileMonitors();

 private:
  void ProcessVolume(TTCVolume& V, uint32_t Interval);
  void TryMount(const TVolumeIdentity& Identity);
  void ReportResult(const TTCVolume& V, const char* Text, bool Success, const char* Cause = "");
  void MonitorNoticed(uint64_t Serial);
  // Runs the refresh RefreshSoon asked for, or waits for the loop to end.
  void RefreshWhenFree();
  bool ModalLoopRunning() const;
  // Idle check on while a volume is mounted and the setting is on.
  void UpdateIdleCheck();
  void IdleCheck();
  void ArmIdleCheck(uint32_t Delay);
  // Milliseconds until Minutes without input are reached, 0 when they are.
  static uint32_t IdleDelay(int32_t Minutes);

  TVolumeControlHost& Host;
  // Each ".tcvinfo.ini" by name: the modification time its skipped sections
  // were last told for.
  std::unordered_map<std::string, double> IgnoredToldFor;
  // The monitors post their notices here. The application's window would
  // not do: it answers nothing while a prompt is open, and the notice would
  // be lost.
  TMonitorNoticeWindow NoticeWindow;
  bool PassRunning = false;
  bool AskingForProgram = false;
  bool AskingForPassword = false;
  bool QuestionPostponed = false;
  bool RefreshWaiting = false;
  // Ticks only while a wanted refresh waits for a modal loop to end.
  TMinTimer RefreshRetry;
  int32_t IdleMinutes = 0;
  // One-shot in effect: set for the moment the idle limit will be reached.
  TMinTimer IdleTimer;
};
