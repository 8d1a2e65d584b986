#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <string>
#include <unordered_map>

#include "CryptProgram.h"
#include "DriveScan.h"
#include "FileMonitor.h"
#include "MountedQuery.h"
#include "Volume.h"
#include "VolumeControlHost.h"
#include "VolumeTimer.h"

// A mount or dismount whose program has not ended by then has failed.
constexpr uint32_t PendingTimeout = 60000;

// How a password question ended.
enum class TAnswer { Submitted, Cancelled, NotNow };

// Volume control: the configured volumes, the drives they come from, the
// passwords, the encryption program and the timer that follows pending
// work. The application owns one and answers its questions through Host.
// Main thread only. Nothing here waits for the user: a question is put to
// the host and its answer comes back as an event (PasswordAnswered), so
// every call returns at once.
class TVolumeControl {
 public:
  // Needs the application window (for the timers and the watches).
  explicit TVolumeControl(TVolumeControlHost& Host);
  // Stops the monitors and wipes the passwords; dismounts nothing.
  ~TVolumeControl();
  TVolumeControl(const TVolumeControl&) = delete;
  TVolumeControl& operator=(const TVolumeControl&) = delete;

  // The configured volumes in reading order, then those whose definition
  // went while they were in use.
  std::vector<TVolume> Volumes;
  // The drives of the last scan that found a change.
  std::vector<TSysVolume> SysVolumes;
  // The located encryption program.
  TCryptProgram CryptProgram;

  // --- The default password ---
  // The default password remembered from an earlier run, where it worked.
  void SetRememberedPassword(SecretText Password);
  // The default password once a mount has succeeded with it (or it was
  // remembered): only then is it worth remembering. Null otherwise.
  const SecretText* PasswordWorthRemembering() const;

  // Keeps the volume timer ticking for Milliseconds although nothing is
  // pending, so a settings file being edited is noticed soon.
  void KeepPolling(uint32_t Milliseconds) { Timer.KeepPolling(Milliseconds); }

  // --- Questions ---
  // A question is open (the host was asked and has not answered).
  bool Asking() const { return Question.has_value(); }
  // The answer to the open question. Submitted: the volumes it was asked for
  // are mounted with Password (the default password is asked once for every
  // volume waiting for it). Cancelled: they are no longer wanted. NotNow:
  // they stay wanted, unasked until the next pass. The next question, if
  // any, is put at once.
  void PasswordAnswered(TAnswer Answer, SecretText Password);
  // The answer to the question whether the volumes in use are dismounted by
  // force: Yes forces them; otherwise they stay mounted.
  void ForceAnswered(bool Yes);
  // Ends the open question as "not now" and has the host close it.
  void PostponeQuestion();

  // --- Definitions ---
  // One refresh: scans the drives and, only when they changed, re-reads every
  // ".tcvinfo.ini" and merges the result into Volumes; notices a changed
  // settings file. Tells the host when anything changed.
  void RefreshVolumes();
  // Makes NewList the current Volumes, carrying each surviving identity's
  // run-time state (password, state, launch, Auto, monitor) over from the old
  // list, one old entry to at most one new one; an old entry in use that has
  // no new one stays, after the defined ones. Sets MountedLetter from
  // MountList and stops the monitors of volumes that went away.
  void MergeVolumes(std::vector<TVolume>& NewList, const std::vector<TMountedVolume>& MountList);

  // --- Mounting ---
  // Marks the volume, when known and idle, wanted (Auto) and, with
  // ProcessNow, runs a pass.
  void MountVolume(const TVolumeIdentity& Identity, bool ProcessNow);
  // Every volume wanted, then one pass.
  void MountAll();
  // The user's dismount: a normal one, which leaves open files alone; when
  // the volume is still there once the program has ended, the user is asked
  // whether to force it. Auto := false.
  void DismountVolume(const TVolumeIdentity& Identity);
  // Starts the dismount of every mounted volume, in order: the user's
  // (Force false, as DismountVolume), or by force for the unattended ones
  // (exit, hold, idle); Auto := KeepAuto.
  void DismountAll(bool KeepAuto, bool Force);
  // While held, passes start no mount: the volumes were dismounted because
  // the user left the session (switched away, locked it) or the system
  // sleeps, and stay wanted (Auto) only for the user's return or the resume.
  // Holding ends the open question as "not now", waits up to GraceMs for the
  // mounts in flight, dismounts every mounted volume and waits up to GraceMs
  // more for them to go, all before it returns. A mount still running then
  // is dismounted once it appears.
  void Hold(uint32_t GraceMs);
  // Ends the hold and runs a pass.
  void ReleaseHold();
  bool Held() const { return MountsHeld; }
  // One pass over Volumes: follows the volumes being mounted and dismounted,
  // starts monitors, mounts the volumes wanted mounted, and puts the next
  // password question when none is open.
  void ProcessVolumes();

  // --- Drives coming and going ---
  // One refresh and one pass from the message loop, once the messages
  // already queued are handled: a burst of arrivals gives one.
  void RefreshSoon();
  // The drives of UnitMask (bit 0 is A:) went away: each mounted container
  // volume on one of them, and each partition volume on a disk one of them
  // was on at the last scan, is dismounted by force at once, without waiting
  // for its letter to go, reported as removed and left wanted
  // (Auto); one being mounted is dismounted once it appears; an open
  // question for one of them ends as "not now". Then RefreshSoon.
  void DrivesRemoved(uint32_t UnitMask);

  // --- Idle ---
  // After this many minutes without user input every volume is dismounted
  // and no longer wanted; 0 is off. The check runs only while a volume is
  // mounted.
  void SetIdleMinutes(int32_t Minutes);

  // --- Encryption program ---
  // The known program: the one located before, else "Path" of "Common" in
  // the per-user settings file when that file exists; null when none is.
  // Asks nobody: the application asks the user (see FindDefaultCryptProgram)
  // and hands the choice to SetCryptProgram.
  const TCryptProgram* FindCryptProgram();
  // The user chose Path: remembered in the per-user settings file.
  bool SetCryptProgram(const std::string& Path);

  // --- Container monitors ---
  // Starts a monitor when the entry's mark is 1, it has none, it is mounted
  // and its container exists. A mark of 2 is left alone, so the stamp waits
  // for the dismount.
  void StartMonitor(TVolume& Entry);
  // Stamps the container with the current time when the mark is 2 (setting it
  // back to 1), then stops and frees the entry's monitor. The only place a
  // monitor is freed.
  void StopMonitor(TVolume& Entry);
  void StopFileMonitors();

 private:
  // The open question: whether to force the dismounts of the volumes in
  // use, or a password: the default one, or Identity's own.
  struct TQuestion {
    bool Force;
    bool Shared;
    TVolumeIdentity Identity;
  };

  void ProcessVolume(TVolume& V);
  // V's letter as the driver lists it now.
  void ReadMountedLetter(TVolume& V) const;
  // Taken by the system or claimed by another volume.
  bool LetterClaimed(char Letter, const TVolume& For) const;
  // Starts the mount of an idle wanted volume, or has it wait for its password.
  void TryMount(TVolume& V);
  void Launch(TVolume& V, TVolumeState State, std::string_view Params);
  // The launch is over: Idle (or Mounted, as the driver reports it).
  void Settle(TVolume& V);
  void StartDismount(TVolume& V, bool KeepAuto, bool Force);
  // The mount failed: its notice and what follows (asked again for a wrong
  // password, no longer wanted otherwise).
  void MountFailed(TVolume& V, const std::string& Cause, bool WrongPassword);
  // Waits up to Ms for the programs launched for the volumes in State.
  void WaitForLaunches(TVolumeState State, uint32_t Ms);
  void AskNextQuestion();
  // The volumes the open question is for.
  bool QuestionIsFor(const TVolume& V) const;
  // The notice of an outcome; Text names the volume and, for a failure, the
  // cause and what to do.
  void ReportResult(const TVolume& V, const char* Title, bool Success, const std::string& Text);
  void MonitorNoticed(uint64_t Serial);
  // The poll timer runs while a volume is being mounted or dismounted.
  void UpdatePolling();
  // Idle check on while a volume is mounted and the setting is on.
  void UpdateIdleCheck();
  void IdleCheck();
  void ArmIdleCheck(uint32_t Delay);
  // Milliseconds until Minutes without input are reached, 0 when they are.
  static uint32_t IdleDelay(int32_t Minutes);

  TVolumeControlHost& Host;
  // The shared default password.
  SecretText DefaultPassword;
  bool DefaultPasswordWorked = false;
  // The settings file's last write seen by the last refresh.
  TFileTicks SettingsFileWritten{};
  TVolumePollTimer Timer;
  // The last disk a scan saw each drive A..Z on, -1 for none or for a volume
  // of the encryption driver: a drive that goes away may have gone before
  // its removal is told.
  std::array<int32_t, 26> DiskOfDrive;
  // Each ".tcvinfo.ini" by name: the last write its skipped sections were
  // last told for.
  std::unordered_map<std::string, TFileTicks> IgnoredToldFor;
  std::optional<TQuestion> Question;
  bool MountsHeld = false;
  // One-shot: fires once the queued messages are handled.
  TMinTimer RefreshTimer;
  int32_t IdleMinutes = 0;
  // One-shot in effect: set for the moment the idle limit will be reached.
  TMinTimer IdleTimer;
};
