#include "Mounting.h"

#include <windows.h>

#include "AppFlags.h"
#include "CryptProgram.h"
#include "DriveScan.h"
#include "FileMonitor.h"
#include "Files.h"
#include "MinDialogs.h"
#include "MountCommandLine.h"
#include "Process.h"
#include "Volume.h"
#include "VolumeTimer.h"

std::string DefaultPassword;
bool MountsHeld = false;
std::function<void(int Index, const std::string& Text, bool Success)> VolumeResultHook;

namespace {

const char* const MountedText = "Volume Mounted";
const char* const DismountedText = "Volume Dismounted";

void ReportResult(int Index, const char* Text, bool Success) {
  if (VolumeResultHook) VolumeResultHook(Index, Text, Success);
}

// Asks in the masked input box when Password is empty; Cancel switches the
// volume's Auto off.
void AskPasswordIfEmpty(TTCVolume& V, std::string& Password, const std::string& Prompt) {
  if (!Password.empty()) return;
  std::string Value;
  V.Auto = InputBox("", Prompt, "", Value, true);
  Password.swap(Value);
}

void TryMount(int Index) {
  if (MountsHeld) return;
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  // The list is not replaced while a pass runs (afBusy holds the timer's
  // refresh off), so the entry stays put across the dialogs' loops.
  TTCVolume& V = Volumes[Index];
  if (!V.Auto) return;
  if (V.Partition == 0 && V.File.empty()) return;
  if (V.DefaultPass) {
    AskPasswordIfEmpty(V, DefaultPassword, "Default Password:");
  } else {
    AskPasswordIfEmpty(V, V.Password, V.Label + " Password:");
  }
  const std::string& Password = V.DefaultPass ? DefaultPassword : V.Password;
  if (Password.empty()) return;
  char Letter = V.Letter;
  if (Letter < 'A' || Letter > 'Z' || DirExistsEx(std::string(1, Letter) + ":\\"))
    Letter = FindFreeDriveLetter(Letter);
  const std::string Path = V.File.empty() ? PartitionDevicePath(V.Disk, V.Partition) : V.File;
  MountCommand(Path, Password, V.Label, V.TrueCrypt, Letter);
  Sleep(MountLaunchPause);
  V.MountPending = true;
  V.PendingTime = 1;
  BeginPending();
}

void ProcessVolume(int Index, uint32_t Interval) {
  TTCVolume& V = Volumes[Index];
  const bool Mounted = IsVolumeMounted(Index);
  if (Mounted && V.DismountPending) {
    V.PendingTime += Interval;
    if (V.PendingTime > PendingTimeout) {
      V.DismountPending = false;
      V.Auto = false;
      V.MountedLetter = 0;
      V.PendingTime = 0;
      ReportResult(Index, DismountedText, false);
      EndPending();
    }
  } else if (Mounted && V.MountPending) {
    V.MountPending = false;
    V.PendingTime = 0;
    ReportResult(Index, MountedText, true);
    EndPending();
    StartMonitor(Volumes[Index]);
  } else if (Mounted) {
    StartMonitor(V);
  } else if (V.DismountPending) {
    V.DismountPending = false;
    V.MountedLetter = 0;
    V.PendingTime = 0;
    ReportResult(Index, DismountedText, true);
    EndPending();
    StopMonitor(Volumes[Index]);
  } else if (V.MountPending) {
    V.PendingTime += Interval;
    if (V.PendingTime > PendingTimeout) {
      V.MountPending = false;
      WipeString(V.Password);
      V.Auto = false;
      V.DefaultPass = false;
      V.PendingTime = 0;
      ReportResult(Index, MountedText, false);
      EndPending();
    }
  } else {
    TryMount(Index);
  }
}

}  // namespace

void MountVolume(int Index, bool ProcessNow) {
  if (IsValidVolumeIndex(Index) && !Volumes[Index].MountPending) {
    Volumes[Index].Auto = true;
    Volumes[Index].PendingTime = 1;
  }
  if (ProcessNow) ProcessVolumes();
}

void MountAll() {
  for (int I = 0; I < static_cast<int>(Volumes.size()); ++I) MountVolume(I, false);
  ProcessVolumes();
}

void DismountVolume(int Index, bool KeepAuto) {
  if (!IsVolumeMounted(Index)) return;
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  if (!IsVolumeMounted(Index)) return;  // the file dialog's loop may have changed it
  TTCVolume& V = Volumes[Index];
  if (V.DismountPending) return;
  V.DismountPending = true;
  V.Auto = KeepAuto;
  V.PendingTime = 1;
  DismountCommand(V.MountedLetter);
  BeginPending();
}

void DismountAll(bool KeepAuto) {
  for (int I = 0; I < static_cast<int>(Volumes.size()); ++I)
    if (IsVolumeMounted(I)) DismountVolume(I, KeepAuto);
}

void ProcessVolumes() {
  if (AppFlags & afBusy) return;
  AppFlags |= afBusy;
  struct TClearBusy {
    ~TClearBusy() { AppFlags &= static_cast<uint8_t>(~afBusy); }
  } ClearBusy;
  // The time-out counts passes: each adds the timer's interval.
  const uint32_t Interval = KeepPolling(0)->Interval;
  try {
    for (int I = 0; I < static_cast<int>(Volumes.size()); ++I) ProcessVolume(I, Interval);
  } catch (...) {
    // A failing volume ends the pass quietly; the next pass tries again.
  }
}

void MountCommand(const std::string& Path, const std::string& Password, const std::string& Label,
                  bool TrueCryptMode, char Letter) {
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  std::string Params = MountParameters(Path, Password, Label, TrueCryptMode, CryptIsTrueCrypt, Letter);
  RunProcess(Program, Params);
  WipeString(Params);
}

void DismountCommand(char Letter) {
  std::string Program;
  if (!FindCryptProgram(Program)) return;
  std::string Params = DismountParameters(Letter);
  RunProcess(Program, Params);
}

void FinalizeVolumeControl() {
  delete VolumeTimer;  // clears VolumeTimer
  if (!(AppFlags & (afLoggingOff | afNoDismount))) DismountAll(false);
  for (TTCVolume& V : Volumes) {
    WipeString(V.Password);
    delete V.Monitor;  // only left when nobody stopped the monitors
  }
  Volumes.clear();
  SysVolumes.clear();
  WipeString(DefaultPassword);
  MountsHeld = false;
  CryptProgramPath.clear();
  ReleaseMonitorNotices();
}
