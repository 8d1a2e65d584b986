// Volume control's passes: mounting and dismounting, and the life of the
// control itself.
#include <windows.h>

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
    : Timer(*this), Host(Host), NoticeWindow([this](uint64_t Serial) { MonitorNoticed(Serial); }) {}

TVolumeControl::~TVolumeControl() {
  // The monitors go before the window they post to.
  Volumes.clear();
}

void TVolumeControl::ReportResult(const TTCVolume& V, const char* Text, bool Success) {
  Host.VolumeResult(V, Text, Success);
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
    const bool Answered = Host.AskPassword(Shared ? "Default Password:" : V->Label + " Password:", Entered);
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
  std::string Params = MountParameters(Path, Password.view(), V->Label, V->TrueCrypt, CryptProgram.IsTrueCrypt, Letter,
                                       V->Options);
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

void TVolumeControl::ProcessVolumes() {
  if (PassRunning) return;
  PassRunning = true;
  ScopeExit EndPass([this] { PassRunning = false; });
  // The time-out counts passes: each adds the timer's interval.
  const uint32_t Interval = Timer.Interval;
  try {
    // By position: a question inside may replace the list.
    for (std::size_t I = 0; I < Volumes.size(); ++I) ProcessVolume(Volumes[I], Interval);
  } catch (...) {
    // A failing volume ends the pass quietly; the next pass tries again.
  }
}
