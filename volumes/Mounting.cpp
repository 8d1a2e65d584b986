// Volume control's passes: mounting and dismounting, the password questions,
// holds, and the life of the control itself.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "DriveScan.h"
#include "ErrorTexts.h"
#include "Files.h"
#include "Launch.h"
#include "MountCommandLine.h"
#include "PathNames.h"
#include "Process.h"
#include "StrUtils.h"
#include "VolumeControl.h"

namespace {

const char* const MountedText = "Volume Mounted";
const char* const DismountedText = "Volume Dismounted";

// The program has ended and a refresh since has read the driver, or the
// outcome is overdue.
bool LaunchOver(const TVolume& V) { return !V.Launch || V.Launch->EndSeen || GetTickCount64() >= V.Deadline; }

// Known to the system as a drive, or still answering as a folder.
bool LetterTaken(char Letter) {
  return (GetLogicalDrives() >> (Letter - 'A') & 1) != 0 || DirExistsEx(std::string(1, Letter) + ":\\");
}

bool ValidLetter(char Letter) { return Letter >= 'A' && Letter <= 'Z'; }

// "Data (X:)", or "Data" without a letter.
std::string Named(const TVolume& V, char Letter) {
  return ValidLetter(Letter) ? V.Label + " (" + Letter + ":)" : V.Label;
}

// The container or a keyfile on a local drive that is not there now; empty
// when all are. A share is not asked: that could stall, or offer the user's
// credentials to it.
std::string MissingFile(const TVolume& V) {
  std::vector<std::string> Paths = V.Options.Keyfiles;
  if (!V.File.empty()) Paths.insert(Paths.begin(), V.File);
  for (const std::string& Path : Paths)
    if (ClassifyPath(Path) == TPathKind::DriveFull && !FileExistsEx(Path)) return Path;
  return {};
}

}  // namespace

TVolumeControl::TVolumeControl(TVolumeControlHost& Host)
    : Host(Host),
      Timer(*this),
      DiskOfDrive([] {
        std::array<int32_t, 26> None;
        None.fill(-1);
        return None;
      }()),
      RefreshTimer(
          false,
          [this] {
            RefreshTimer.SetEnabled(false);
            RefreshVolumes();
            ProcessVolumes();
          },
          USER_TIMER_MINIMUM),
      IdleTimer(
          false, [this] { IdleCheck(); }, 0) {}

TVolumeControl::~TVolumeControl() {
  // The monitors and launches go before the timers and the window they
  // post to.
  Volumes.clear();
}

void TVolumeControl::ReportResult(const TVolume& V, const char* Title, bool Success, const std::string& Text) {
  Host.VolumeResult(V, Title, Success, Text);
}

void TVolumeControl::Launch(TVolume& V, TVolumeState State, std::string_view Params) {
  const TCryptProgram* Program = FindCryptProgram();
  // Its end is looked at by a refresh, so the outcome is known at once.
  V.Launch = std::make_unique<TLaunch>(Program ? Program->Path : std::string(), Params, [this] { RefreshSoon(); });
  V.State = State;
  V.Deadline = GetTickCount64() + PendingTimeout;
}

bool TVolumeControl::LetterClaimed(char Letter, const TVolume& For) const {
  if (LetterTaken(Letter)) return true;
  // Another volume's mount in flight goes there, or a wanted volume waits
  // to mount on its own letter.
  return std::any_of(Volumes.begin(), Volumes.end(), [&](const TVolume& O) {
    if (&O == &For) return false;
    if (O.State == TVolumeState::Mounting) return O.LaunchLetter == Letter;
    return O.Auto && !O.Mounted() && O.Letter == Letter;
  });
}

void TVolumeControl::TryMount(TVolume& V) {
  if (MountsHeld || !V.Auto || V.State != TVolumeState::Idle) return;
  if (V.Partition == 0 && V.File.empty()) return;
  if (!FindCryptProgram()) return;
  const SecretText& Password = V.SharedPassword() ? DefaultPassword : V.Password;
  if (Password.empty() && !V.NoPassword) {
    V.State = TVolumeState::AwaitingPassword;
    return;
  }
  char Letter = V.Letter;
  const auto Taken = [&](char L) { return LetterClaimed(L, V); };
  if (!ValidLetter(Letter) || Taken(Letter)) Letter = FindFreeDriveLetter(Letter, Taken);
  V.LaunchLetter = Letter;
  if (const std::string Missing = MissingFile(V); !Missing.empty())
    return MountFailed(V, Missing + " is missing. Connect its drive, or correct the definition.", false);
  const std::string Path = V.File.empty() ? PartitionDevicePath(V.Disk, V.Partition) : V.File;
  const SecretText Params =
      MountParameters(Path, Password.view(), V.Label, V.TrueCrypt, CryptProgram.IsTrueCrypt, Letter, V.Options);
  Launch(V, TVolumeState::Mounting, Params.view());
  if (!V.Launch->Started())
    MountFailed(V, SystemErrorText(V.Launch->StartError) + " Check the program's path under Settings.", false);
}

void TVolumeControl::MountFailed(TVolume& V, const std::string& Cause, bool WrongPassword) {
  V.Launch.reset();
  V.State = TVolumeState::Idle;
  ReportResult(V, MountedText, false, Named(V, V.LaunchLetter) + ": " + Cause);
  if (!WrongPassword) {
    V.Auto = false;
    return;
  }
  // Asked again at once, for the same password: a default password that
  // has never worked goes, one that has stays for the other volumes.
  V.PasswordFailed = true;
  V.State = TVolumeState::AwaitingPassword;
  if (!V.SharedPassword())
    V.Password.Clear();
  else if (!DefaultPasswordWorked)
    DefaultPassword.Clear();
}

void TVolumeControl::StartDismount(TVolume& V, bool KeepAuto, bool Force) {
  if (!FindCryptProgram()) return;
  V.Auto = KeepAuto;
  V.DismountWhenMounted = false;
  V.DismountForced = Force;
  V.LaunchLetter = V.MountedLetter;
  Launch(V, TVolumeState::Dismounting, DismountParameters(V.MountedLetter, Force));
}

void TVolumeControl::ReadMountedLetter(TVolume& V) const {
  std::vector<TMountedVolume> MountList;
  GetMountedVolumes(CryptProgram, MountList);
  V.MountedLetter = MountedLetterOf(MountList, V.Identity());
}

void TVolumeControl::ProcessVolume(TVolume& V) {
  switch (V.State) {
    case TVolumeState::Mounting:
      // Before an ended launch counts as failed the driver is asked once
      // more: a scan may not show yet the drive of a mount just ended.
      if (!V.Mounted() && V.Launch && V.Launch->EndSeen) ReadMountedLetter(V);
      if (V.Mounted()) {
        V.Launch.reset();
        V.State = TVolumeState::Mounted;
        V.PasswordFailed = false;
        if (V.SharedPassword()) DefaultPasswordWorked = true;
        // Mounted for a hold that began meanwhile: it goes again at once.
        if (V.DismountWhenMounted) return StartDismount(V, true, true);
        ReportResult(V, MountedText, true,
                     ValidLetter(V.Letter) && V.MountedLetter != V.Letter
                         ? V.Label + " on " + V.MountedLetter + ": (" + V.Letter + ": was taken)"
                         : Named(V, V.MountedLetter));
        StartMonitor(V);
      } else if (V.DismountWhenMounted && LaunchOver(V)) {
        // Under a hold it stays wanted for the return.
        V.Launch.reset();
        V.State = TVolumeState::Idle;
        V.DismountWhenMounted = false;
      } else if (V.Launch && V.Launch->EndSeen) {
        // Ended without the volume: the program refused what it was given.
        if (V.NoPassword) return MountFailed(V, "wrong keyfile or PIM. Correct the definition.", false);
        MountFailed(V, "wrong password, PIM or keyfile. Enter it again.", true);
      } else if (LaunchOver(V)) {
        MountFailed(V, "the program did not finish within a minute. Mount it in the program to see why.", false);
      }
      return;
    case TVolumeState::Dismounting:
      if (!V.Mounted()) {
        V.Launch.reset();
        V.State = TVolumeState::Idle;
        ReportResult(V, DismountedText, true, Named(V, V.LaunchLetter));
        StopMonitor(V);
        // Still wanted: dismounted for a hold that has ended meanwhile.
        TryMount(V);
      } else if (LaunchOver(V)) {
        V.Launch.reset();
        // In use: the user decides whether open files are closed.
        V.State = V.DismountForced ? TVolumeState::Mounted : TVolumeState::AwaitingForce;
        if (!V.DismountForced) return;
        // Left as the driver reports it: still mounted.
        V.Auto = false;
        ReportResult(
            V, DismountedText, false,
            Named(V, V.MountedLetter) + ": still mounted. Close the programs using it, then dismount it again.");
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
    case TVolumeState::AwaitingForce:
      // Let go of meanwhile.
      if (!V.Mounted()) V.State = TVolumeState::Idle;
      return;
    case TVolumeState::Idle:
      if (!V.Mounted()) return TryMount(V);
      V.State = TVolumeState::Mounted;
      return StartMonitor(V);
  }
}

void TVolumeControl::ProcessVolumes() {
  for (TVolume& V : Volumes) ProcessVolume(V);
  // A volume whose definition went is kept only while it is in use.
  if (std::erase_if(Volumes, [](const TVolume& V) { return !V.Defined && !V.InUse(); }) > 0) Host.VolumesChanged(false);
  AskNextQuestion();
  UpdatePolling();
  UpdateIdleCheck();
}

void TVolumeControl::UpdatePolling() {
  Timer.Follow(std::any_of(Volumes.begin(), Volumes.end(), [](const TVolume& V) {
    return V.State == TVolumeState::Mounting || V.State == TVolumeState::Dismounting;
  }));
}

bool TVolumeControl::QuestionIsFor(const TVolume& V) const {
  if (!Question) return false;
  if (Question->Force) return V.State == TVolumeState::AwaitingForce;
  if (V.State != TVolumeState::AwaitingPassword) return false;
  return Question->Shared ? V.SharedPassword() : !V.SharedPassword() && SameVolume(V.Identity(), Question->Identity);
}

void TVolumeControl::AskNextQuestion() {
  if (Question || MountsHeld) return;
  // The user has just chosen the dismounts: that question comes first.
  std::string InUse;
  int Count = 0;
  for (const TVolume& V : Volumes)
    if (V.State == TVolumeState::AwaitingForce) (InUse += Count++ ? ", " : "") += Named(V, V.MountedLetter);
  if (Count > 0) {
    Question = TQuestion{true, false, {}};
    return Host.AskForce(InUse + (Count == 1 ? " is" : " are") +
                         " in use. Force the dismount? Unsaved changes in open files may be lost.");
  }
  for (const TVolume& V : Volumes) {
    if (V.State != TVolumeState::AwaitingPassword) continue;
    Question = TQuestion{false, V.SharedPassword(), V.Identity()};
    const std::string Prompt = V.SharedPassword() ? "Default Password:" : V.Label + " Password:";
    Host.AskPassword(V.PasswordFailed ? "Wrong password, PIM or keyfile for " + V.Label + ".\n" + Prompt : Prompt);
    return;
  }
}

void TVolumeControl::SetRememberedPassword(SecretText Password) {
  DefaultPassword = std::move(Password);
  DefaultPasswordWorked = !DefaultPassword.empty();
}

const SecretText* TVolumeControl::PasswordWorthRemembering() const {
  return DefaultPasswordWorked ? &DefaultPassword : nullptr;
}

void TVolumeControl::PasswordAnswered(TAnswer Answer, SecretText Password) {
  if (!Question || Question->Force) return;
  if (Answer == TAnswer::Submitted && Question->Shared) {
    DefaultPassword = std::move(Password);
    DefaultPasswordWorked = false;
  } else if (Answer == TAnswer::Submitted) {
    if (TVolume* V = FindVolume(Question->Identity, Volumes); V && QuestionIsFor(*V)) V->Password = std::move(Password);
  }
  for (TVolume& V : Volumes) {
    if (!QuestionIsFor(V)) continue;
    V.State = TVolumeState::Idle;
    // Cancel: no longer wanted. An empty password is asked again.
    if (Answer == TAnswer::Cancelled) V.Auto = false;
  }
  Question.reset();
  if (Answer == TAnswer::NotNow) {
    // The rest of the queue is no longer asked either; all stay wanted.
    for (TVolume& V : Volumes)
      if (V.State == TVolumeState::AwaitingPassword) V.State = TVolumeState::Idle;
    return;
  }
  ProcessVolumes();
}

void TVolumeControl::ForceAnswered(bool Yes) {
  if (!Question || !Question->Force) return;
  Question.reset();
  for (TVolume& V : Volumes) {
    if (V.State != TVolumeState::AwaitingForce) continue;
    V.State = TVolumeState::Mounted;
    if (Yes) StartDismount(V, false, true);
  }
  ProcessVolumes();
}

void TVolumeControl::PostponeQuestion() {
  if (!Question) return;
  if (Question->Force) {
    // What is still in use stays mounted, unless the event dismounts it.
    Question.reset();
    for (TVolume& V : Volumes)
      if (V.State == TVolumeState::AwaitingForce) V.State = TVolumeState::Mounted;
  } else {
    PasswordAnswered(TAnswer::NotNow, {});
  }
  Host.CloseQuestion();
}

void TVolumeControl::MountVolume(const TVolumeIdentity& Identity, bool ProcessNow) {
  TVolume* V = FindVolume(Identity, Volumes);
  if (V && V->Defined && V->State == TVolumeState::Idle) V->Auto = true;
  if (ProcessNow) ProcessVolumes();
}

void TVolumeControl::MountAll() {
  for (TVolume& V : Volumes)
    if (V.Defined && V.State == TVolumeState::Idle) V.Auto = true;
  ProcessVolumes();
}

void TVolumeControl::DismountVolume(const TVolumeIdentity& Identity) {
  TVolume* V = FindVolume(Identity, Volumes);
  if (!V || !V->Mounted() || V->State != TVolumeState::Mounted) return;
  StartDismount(*V, false, false);
  UpdatePolling();
}

void TVolumeControl::DismountAll(bool KeepAuto, bool Force) {
  for (TVolume& V : Volumes)
    if (V.Mounted() && V.State != TVolumeState::Dismounting) StartDismount(V, KeepAuto, Force);
  UpdatePolling();
}

void TVolumeControl::Hold(uint32_t GraceMs) {
  MountsHeld = true;
  PostponeQuestion();
  for (TVolume& V : Volumes) {
    if (V.State != TVolumeState::Mounting) continue;
    V.Auto = true;
    V.DismountWhenMounted = true;
  }
  WaitForLaunches(TVolumeState::Mounting, GraceMs);
  // What appeared meanwhile goes with the rest.
  RefreshVolumes();
  ProcessVolumes();
  DismountAll(true, true);
  WaitForLaunches(TVolumeState::Dismounting, GraceMs);
  RefreshVolumes();
  ProcessVolumes();
}

void TVolumeControl::WaitForLaunches(TVolumeState State, uint32_t Ms) {
  std::vector<HANDLE> Running;
  for (const TVolume& V : Volumes)
    if (V.State == State && V.Launch && V.Launch->Started() && Running.size() < MAXIMUM_WAIT_OBJECTS)
      Running.push_back(V.Launch->Process.get());
  if (!Running.empty()) WaitForMultipleObjects(DWORD(Running.size()), Running.data(), TRUE, Ms);
}

void TVolumeControl::ReleaseHold() {
  MountsHeld = false;
  ProcessVolumes();
}

void TVolumeControl::DrivesRemoved(uint32_t UnitMask) {
  auto Removed = [UnitMask](char Letter) {
    const int Drive = AsciiUpper(Letter) - 'A';
    return Drive >= 0 && Drive < 26 && (UnitMask >> Drive & 1) != 0;
  };
  std::vector<int32_t> RemovedDisks;
  for (int Drive = 0; Drive < 26; ++Drive)
    if (Removed(char('A' + Drive)) && DiskOfDrive[Drive] != -1)
      RemovedDisks.push_back(std::exchange(DiskOfDrive[Drive], -1));
  auto OnRemovedDrive = [&](const TVolume& V) {
    if (V.File.empty()) return std::find(RemovedDisks.begin(), RemovedDisks.end(), V.Disk) != RemovedDisks.end();
    return HasDriveLetter(V.File) && Removed(V.File[0]);
  };
  const TCryptProgram* Program = FindCryptProgram();
  for (TVolume& V : Volumes) {
    if (!OnRemovedDrive(V)) continue;
    if (QuestionIsFor(V) && !Question->Force) PostponeQuestion();
    if (V.State == TVolumeState::Mounting && !V.Mounted()) {
      V.DismountWhenMounted = true;
    } else if (V.Mounted() && Program) {
      // Its container or disk is gone: nothing to wait for.
      RunProcess(Program->Path, DismountParameters(V.MountedLetter, true));
      V.Launch.reset();
      V.State = TVolumeState::Idle;
      StopMonitor(V);
      ReportResult(V, DismountedText, true, Named(V, std::exchange(V.MountedLetter, 0)) + ": its drive was removed");
    }
  }
  UpdatePolling();
  UpdateIdleCheck();
  RefreshSoon();
}
