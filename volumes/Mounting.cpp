// Volume control's passes: mounting and dismounting, and the life of the
// control itself.
#include <windows.h>

#include <cctype>
#include <vector>

#include "DriveScan.h"
#include "Files.h"
#include "MountCommandLine.h"
#include "Process.h"
#include "Scoped.h"
#include "StrUtils.h"
#include "VolumeControl.h"

namespace {

const char* const MountedText = "Volume Mounted";
const char* const DismountedText = "Volume Dismounted";

}  // namespace

TVolumeControl::TVolumeControl(TVolumeControlHost& Host)
    : Timer(*this),
      Host(Host),
      NoticeWindow([this](uint64_t Serial) { MonitorNoticed(Serial); }, [this] { RefreshWhenFree(); }),
      RefreshRetry(
          false, [this](TMinTimer*) { RefreshWhenFree(); }, RefreshRetryInterval),
      IdleTimer(
          false, [this](TMinTimer*) { IdleCheck(); }, 0) {}

TVolumeControl::~TVolumeControl() {
  // The monitors go before the window they post to.
  Volumes.clear();
}

void TVolumeControl::ReportResult(const TTCVolume& V, const char* Text, bool Success, const char* Cause) {
  Host.VolumeResult(V, Text, Success, Cause);
}

void TVolumeControl::TryMount(const TVolumeIdentity& Identity) {
  if (MountsHeld) return;
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  // Each question runs a message loop that may have replaced the list: the
  // volume is looked up again after each.
  TTCVolume* V = FindVolume(Identity, Volumes);
  if (!V || !V->Auto) return;
  if (V->Partition == 0 && V->File.empty()) return;
  const bool Shared = V->DefaultPass && !V->NoPassword;
  if (!V->NoPassword && (Shared ? DefaultPassword : V->Password).empty()) {
    SecretText Entered;
    QuestionPostponed = false;
    AskingForPassword = true;
    const bool Answered = Host.AskPassword(Shared ? "Default Password:" : V->Label + " Password:", Entered);
    AskingForPassword = false;
    if (QuestionPostponed) return;
    V = FindVolume(Identity, Volumes);
    if (!V) return;
    // Cancel switches Auto off.
    V->Auto = Answered;
    (Shared ? DefaultPassword : V->Password) = std::move(Entered);
  }
  // A keyfile-only volume mounts with its (empty) own password: no "/p".
  const SecretText& Password = Shared ? DefaultPassword : V->Password;
  if (Password.empty() && !V->NoPassword) return;
  char Letter = V->Letter;
  if (Letter < 'A' || Letter > 'Z' || DirExistsEx(std::string(1, Letter) + ":\\")) Letter = FindFreeDriveLetter(Letter);
  const std::string Path = V->File.empty() ? PartitionDevicePath(V->Disk, V->Partition) : V->File;
  std::string Params =
      MountParameters(Path, Password.view(), V->Label, V->TrueCrypt, CryptProgram.IsTrueCrypt, Letter, V->Options);
  RunProcess(Program, Params);
  WipeString(Params);
  Sleep(MountLaunchPause);
  V->MountPending = true;
  V->PendingTime = 1;
  Timer.BeginPending();
}

void TVolumeControl::ProcessVolume(TTCVolume& V, uint32_t Interval) {
  const bool Mounted = V.Mounted();
  if (Mounted && V.DismountPending) {
    V.PendingTime += Interval;
    if (V.PendingTime > PendingTimeout) {
      V.DismountPending = false;
      V.Auto = false;
      V.MountedLetter = 0;
      V.PendingTime = 0;
      ReportResult(V, DismountedText, false);
      Timer.EndPending();
    }
  } else if (Mounted && V.MountPending) {
    V.MountPending = false;
    V.PendingTime = 0;
    ReportResult(V, MountedText, true);
    Timer.EndPending();
    StartMonitor(V);
  } else if (Mounted) {
    StartMonitor(V);
  } else if (V.DismountPending) {
    V.DismountPending = false;
    V.MountedLetter = 0;
    V.PendingTime = 0;
    ReportResult(V, DismountedText, true);
    Timer.EndPending();
    StopMonitor(V);
    // Still wanted: dismounted for a hold that has ended meanwhile.
    if (V.Auto) TryMount(V.Identity());
  } else if (V.MountPending) {
    V.PendingTime += Interval;
    if (V.PendingTime > PendingTimeout) {
      V.MountPending = false;
      V.Password.Clear();
      V.Auto = false;
      V.DefaultPass = false;
      V.PendingTime = 0;
      ReportResult(V, MountedText, false);
      Timer.EndPending();
    }
  } else {
    TryMount(V.Identity());
  }
}

void TVolumeControl::MountVolume(const TVolumeIdentity& Identity, bool ProcessNow) {
  TTCVolume* V = FindVolume(Identity, Volumes);
  if (V && !V->MountPending) {
    V->Auto = true;
    V->PendingTime = 1;
  }
  if (ProcessNow) ProcessVolumes();
}

void TVolumeControl::MountAll() {
  for (TTCVolume& V : Volumes) {
    if (V.MountPending) continue;
    V.Auto = true;
    V.PendingTime = 1;
  }
  ProcessVolumes();
}

void TVolumeControl::DismountVolume(const TVolumeIdentity& Identity, bool KeepAuto) {
  const TTCVolume* Known = FindVolume(Identity, Volumes);
  if (!Known || !Known->Mounted()) return;
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  // The program question may have run a loop that replaced the list.
  TTCVolume* V = FindVolume(Identity, Volumes);
  if (!V || !V->Mounted() || V->DismountPending) return;
  V->DismountPending = true;
  V->Auto = KeepAuto;
  V->PendingTime = 1;
  RunProcess(Program, DismountParameters(V->MountedLetter));
  Timer.BeginPending();
}

void TVolumeControl::DismountAll(bool KeepAuto) {
  for (std::size_t I = 0; I < Volumes.size(); ++I)
    if (Volumes[I].Mounted()) DismountVolume(Volumes[I].Identity(), KeepAuto);
}

void TVolumeControl::DismountAllAndWait(bool KeepAuto, uint32_t TimeoutMs) {
  DismountAll(KeepAuto);
  const ULONGLONG End = GetTickCount64() + TimeoutMs;
  for (;; Sleep(50)) {
    TTCMountedVolumeArray MountList;
    GetMountedVolumes(CryptProgram, MountList);
    bool Left = false;
    const TTCMountedVolume* Entry;
    for (const TTCVolume& V : Volumes)
      Left = Left || (V.DismountPending && FindMountedByLetter(V.MountedLetter, Entry, MountList));
    if (!Left || GetTickCount64() >= End) return;
  }
}

void TVolumeControl::DrivesRemoved(uint32_t UnitMask) {
  auto OnRemovedDrive = [UnitMask](const TTCVolume& V) {
    if (V.File.size() < 2 || V.File[1] != ':') return false;
    const int Drive = std::toupper(static_cast<unsigned char>(V.File[0])) - 'A';
    return Drive >= 0 && Drive < 26 && (UnitMask >> Drive & 1) != 0;
  };
  std::vector<TVolumeIdentity> Gone;
  for (const TTCVolume& V : Volumes)
    if (V.Mounted() && OnRemovedDrive(V)) Gone.push_back(V.Identity());
  std::string Program;
  if (!Gone.empty() && FindCryptProgram(Program)) {
    for (const TVolumeIdentity& Identity : Gone) {
      // The program question may have run a loop that replaced the list.
      TTCVolume* V = FindVolume(Identity, Volumes);
      if (!V || !V->Mounted()) continue;
      RunProcess(Program, DismountParameters(V->MountedLetter));
      if (V->MountPending || V->DismountPending) Timer.EndPending();
      V->MountPending = V->DismountPending = false;
      V->PendingTime = 0;
      V->MountedLetter = 0;
      StopMonitor(*V);
      ReportResult(*V, DismountedText, true, DriveRemovedCause);
    }
  }
  UpdateIdleCheck();
  RefreshSoon();
}

void TVolumeControl::PostponeQuestion() {
  if (Asking()) QuestionPostponed = true;
}

void TVolumeControl::ProcessVolumes() {
  if (PassRunning) return;
  PassRunning = true;
  QuestionPostponed = false;
  ScopeExit EndPass([this] {
    PassRunning = QuestionPostponed = false;
    UpdateIdleCheck();
  });
  // The time-out counts passes: each adds the timer's interval.
  const uint32_t Interval = Timer.Interval;
  try {
    // By position: a question inside may replace the list. A postponed
    // question ends the pass.
    for (std::size_t I = 0; I < Volumes.size() && !QuestionPostponed; ++I) ProcessVolume(Volumes[I], Interval);
  } catch (...) {
    // A failing volume ends the pass quietly; the next pass tries again.
  }
}
