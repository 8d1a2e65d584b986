// Volume control's passes: mounting and dismounting, the password questions,
// holds, and the life of the control itself.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "DriveScan.h"
#include "Files.h"
#include "Launch.h"
#include "MountCommandLine.h"
#include "Process.h"
#include "VolumeControl.h"

namespace {

const char* const MountedText = "Volume Mounted";
const char* const DismountedText = "Volume Dismounted";

// The program has ended and a refresh since has read the driver, or the
// outcome is overdue.
bool LaunchOver(const TTCVolume& V) { return !V.Launch || V.Launch->EndSeen || GetTickCount64() >= V.Deadline; }

}  // namespace

TVolumeControl::TVolumeControl(TVolumeControlHost& Host)
    : Timer(*this),
      Host(Host),
      DiskOfDrive([] {
        std::array<int32_t, 26> None;
        None.fill(-1);
        return None;
      }()),
      RefreshTimer(
          false,
          [this](TMinTimer* Self) {
            Self->SetEnabled(false);
            RefreshVolumes();
            ProcessVolumes();
          },
          USER_TIMER_MINIMUM),
      IdleTimer(
          false, [this](TMinTimer*) { IdleCheck(); }, 0) {}

TVolumeControl::~TVolumeControl() {
  // The monitors and launches go before the timers and the window they
  // post to.
  Volumes.clear();
}

void TVolumeControl::ReportResult(const TTCVolume& V, const char* Text, bool Success, const char* Cause) {
  Host.VolumeResult(V, Text, Success, Cause);
}

void TVolumeControl::Launch(TTCVolume& V, TVolumeState State, std::string_view Params) {
  std::string Program;
  FindCryptProgram(Program);
  // Its end is looked at by a refresh, so the outcome is known at once.
  V.Launch = std::make_unique<TLaunch>(Program, Params, [this] { RefreshSoon(); });
  V.State = State;
  V.Deadline = GetTickCount64() + PendingTimeout;
}

void TVolumeControl::TryMount(TTCVolume& V) {
  if (MountsHeld || !V.Auto || V.State != TVolumeState::Idle) return;
  if (V.Partition == 0 && V.File.empty()) return;
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  // A keyfile-only volume mounts with its (empty) own password: no "/p".
  const SecretText& Password = V.SharedPassword() ? DefaultPassword : V.Password;
  if (Password.empty() && !V.NoPassword) {
    V.State = TVolumeState::AwaitingPassword;
    return;
  }
  char Letter = V.Letter;
  if (Letter < 'A' || Letter > 'Z' || DirExistsEx(std::string(1, Letter) + ":\\")) Letter = FindFreeDriveLetter(Letter);
  const std::string Path = V.File.empty() ? PartitionDevicePath(V.Disk, V.Partition) : V.File;
  const SecretText Params =
      MountParameters(Path, Password.view(), V.Label, V.TrueCrypt, CryptProgram.IsTrueCrypt, Letter, V.Options);
  Launch(V, TVolumeState::Mounting, Params.view());
}

void TVolumeControl::StartDismount(TTCVolume& V, bool KeepAuto) {
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  V.Auto = KeepAuto;
  V.DismountWhenMounted = false;
  Launch(V, TVolumeState::Dismounting, DismountParameters(V.MountedLetter));
}

void TVolumeControl::ProcessVolume(TTCVolume& V) {
  switch (V.State) {
    case TVolumeState::Mounting:
      if (V.Mounted()) {
        V.Launch.reset();
        V.State = TVolumeState::Mounted;
        // Mounted for a hold that began meanwhile: it goes again at once.
        if (V.DismountWhenMounted) return StartDismount(V, true);
        ReportResult(V, MountedText, true);
        StartMonitor(V);
      } else if (LaunchOver(V)) {
        const bool ForHold = V.DismountWhenMounted;
        V.Launch.reset();
        V.State = TVolumeState::Idle;
        V.DismountWhenMounted = false;
        // Under a hold it stays wanted for the return.
        if (ForHold) return;
        V.Password.Clear();
        V.Auto = false;
        V.DefaultPass = false;
        ReportResult(V, MountedText, false);
      }
      return;
    case TVolumeState::Dismounting:
      if (!V.Mounted()) {
        V.Launch.reset();
        V.State = TVolumeState::Idle;
        ReportResult(V, DismountedText, true);
        StopMonitor(V);
        // Still wanted: dismounted for a hold that has ended meanwhile.
        TryMount(V);
      } else if (LaunchOver(V)) {
        // Left as the driver reports it: still mounted.
        V.Launch.reset();
        V.State = TVolumeState::Mounted;
        V.Auto = false;
        ReportResult(V, DismountedText, false);
      }
      return;
    case TVolumeState::Mounted:
      if (V.Mounted()) return StartMonitor(V);
      // Dismounted from outside.
      V.State = TVolumeState::Idle;
      StopMonitor(V);
      return TryMount(V);
    case TVolumeState::AwaitingPassword:
      // Mounted meanwhile from outside.
      if (V.Mounted()) V.State = TVolumeState::Mounted;
      return;
    case TVolumeState::Idle:
      if (!V.Mounted()) return TryMount(V);
      V.State = TVolumeState::Mounted;
      return StartMonitor(V);
  }
}

void TVolumeControl::ProcessVolumes() {
  for (TTCVolume& V : Volumes) ProcessVolume(V);
  // A volume whose definition went is kept only while it is in use.
  if (std::erase_if(Volumes, [](const TTCVolume& V) { return !V.Defined && !V.InUse(); }) > 0)
    Host.VolumesChanged(false);
  AskNextQuestion();
  UpdatePolling();
  UpdateIdleCheck();
}

void TVolumeControl::UpdatePolling() {
  Timer.Follow(std::any_of(Volumes.begin(), Volumes.end(), [](const TTCVolume& V) {
    return V.State == TVolumeState::Mounting || V.State == TVolumeState::Dismounting;
  }));
}

bool TVolumeControl::QuestionIsFor(const TTCVolume& V) const {
  if (!Question || V.State != TVolumeState::AwaitingPassword) return false;
  return Question->Shared ? V.SharedPassword() : !V.SharedPassword() && SameVolume(V.Identity(), Question->Identity);
}

void TVolumeControl::AskNextQuestion() {
  if (Question || MountsHeld) return;
  for (const TTCVolume& V : Volumes) {
    if (V.State != TVolumeState::AwaitingPassword) continue;
    Question = TQuestion{V.SharedPassword(), V.Identity()};
    Host.AskPassword(V.SharedPassword() ? "Default Password:" : V.Label + " Password:");
    return;
  }
}

void TVolumeControl::PasswordAnswered(TAnswer Answer, SecretText Password) {
  if (!Question) return;
  if (Answer == TAnswer::Submitted && Question->Shared) {
    DefaultPassword = std::move(Password);
  } else if (Answer == TAnswer::Submitted) {
    if (TTCVolume* V = FindVolume(Question->Identity, Volumes); V && QuestionIsFor(*V))
      V->Password = std::move(Password);
  }
  for (TTCVolume& V : Volumes) {
    if (!QuestionIsFor(V)) continue;
    V.State = TVolumeState::Idle;
    // Cancel: no longer wanted. An empty password is asked again.
    if (Answer == TAnswer::Cancelled) V.Auto = false;
  }
  Question.reset();
  if (Answer == TAnswer::NotNow) {
    // The rest of the queue is no longer asked either; all stay wanted.
    for (TTCVolume& V : Volumes)
      if (V.State == TVolumeState::AwaitingPassword) V.State = TVolumeState::Idle;
    return;
  }
  ProcessVolumes();
}

void TVolumeControl::PostponeQuestion() {
  if (!Question) return;
  PasswordAnswered(TAnswer::NotNow, {});
  Host.CloseQuestion();
}

void TVolumeControl::MountVolume(const TVolumeIdentity& Identity, bool ProcessNow) {
  TTCVolume* V = FindVolume(Identity, Volumes);
  if (V && V->Defined && V->State == TVolumeState::Idle) V->Auto = true;
  if (ProcessNow) ProcessVolumes();
}

void TVolumeControl::MountAll() {
  for (TTCVolume& V : Volumes)
    if (V.Defined && V.State == TVolumeState::Idle) V.Auto = true;
  ProcessVolumes();
}

void TVolumeControl::DismountVolume(const TVolumeIdentity& Identity, bool KeepAuto) {
  TTCVolume* V = FindVolume(Identity, Volumes);
  if (!V || !V->Mounted() || V->State == TVolumeState::Dismounting) return;
  StartDismount(*V, KeepAuto);
  UpdatePolling();
}

void TVolumeControl::DismountAll(bool KeepAuto) {
  for (TTCVolume& V : Volumes)
    if (V.Mounted() && V.State != TVolumeState::Dismounting) StartDismount(V, KeepAuto);
  UpdatePolling();
}

void TVolumeControl::Hold() {
  MountsHeld = true;
  PostponeQuestion();
  for (TTCVolume& V : Volumes) {
    if (V.State != TVolumeState::Mounting || V.Mounted()) continue;
    V.Auto = true;
    V.DismountWhenMounted = true;
  }
  DismountAll(true);
}

void TVolumeControl::HoldForSleep(uint32_t GraceMs) {
  Hold();
  const ULONGLONG End = GetTickCount64() + GraceMs;
  auto Left = [End] { return DWORD(End - std::min(End, GetTickCount64())); };
  std::vector<HANDLE> InFlight;
  for (const TTCVolume& V : Volumes)
    if (V.State == TVolumeState::Mounting && V.Launch && V.Launch->Started() && InFlight.size() < MAXIMUM_WAIT_OBJECTS)
      InFlight.push_back(V.Launch->Process.get());
  if (!InFlight.empty()) WaitForMultipleObjects(DWORD(InFlight.size()), InFlight.data(), TRUE, Left());
  // What appeared meanwhile is dismounted now.
  RefreshVolumes();
  ProcessVolumes();
  for (;; Sleep(50)) {
    TTCMountedVolumeArray MountList;
    GetMountedVolumes(CryptProgram, MountList);
    bool Remaining = false;
    const TTCMountedVolume* Entry;
    for (const TTCVolume& V : Volumes)
      Remaining =
          Remaining || (V.State == TVolumeState::Dismounting && FindMountedByLetter(V.MountedLetter, Entry, MountList));
    if (!Remaining || Left() == 0) return;
  }
}

void TVolumeControl::ReleaseHold() {
  MountsHeld = false;
  ProcessVolumes();
}

void TVolumeControl::DrivesRemoved(uint32_t UnitMask) {
  auto Removed = [UnitMask](char Letter) {
    const int Drive = std::toupper(static_cast<unsigned char>(Letter)) - 'A';
    return Drive >= 0 && Drive < 26 && (UnitMask >> Drive & 1) != 0;
  };
  std::vector<int32_t> RemovedDisks;
  for (int Drive = 0; Drive < 26; ++Drive)
    if (Removed(char('A' + Drive)) && DiskOfDrive[Drive] != -1) RemovedDisks.push_back(DiskOfDrive[Drive]);
  auto OnRemovedDrive = [&](const TTCVolume& V) {
    if (V.File.empty()) return std::find(RemovedDisks.begin(), RemovedDisks.end(), V.Disk) != RemovedDisks.end();
    return V.File.size() >= 2 && V.File[1] == ':' && Removed(V.File[0]);
  };
  std::string Program;
  const bool ProgramKnown = FindCryptProgram(Program);
  for (TTCVolume& V : Volumes) {
    if (!OnRemovedDrive(V)) continue;
    if (QuestionIsFor(V)) PostponeQuestion();
    if (V.State == TVolumeState::Mounting && !V.Mounted()) {
      V.DismountWhenMounted = true;
    } else if (V.Mounted() && ProgramKnown) {
      // Its container or disk is gone: nothing to wait for.
      RunProcess(Program, DismountParameters(V.MountedLetter));
      V.Launch.reset();
      V.State = TVolumeState::Idle;
      V.MountedLetter = 0;
      StopMonitor(V);
      ReportResult(V, DismountedText, true, DriveRemovedCause);
    }
  }
  UpdatePolling();
  UpdateIdleCheck();
  RefreshSoon();
}
