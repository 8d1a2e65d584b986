// Volume control's refresh: the drives, the ".tcvinfo.ini" files and the
// merge of what they define into the list.
#include <algorithm>
#include <unordered_map>

#include "ConfigFiles.h"
#include "DrivePathWalk.h"
#include "Files.h"
#include "FileTimes.h"
#include "IniValues.h"
#include "Launch.h"
#include "PathNames.h"
#include "ProfileCodePage.h"
#include "ProfileText.h"
#include "StrUtils.h"
#include "Text.h"
#include "VolumeControl.h"
#include "VolumeInfoRules.h"

namespace {

// Finds volumes by identity as SameVolume compares them, without scanning
// the whole list for every look-up: hundreds of definitions are read and
// merged at once.
class TVolumeIdentityIndex {
 public:
  void Add(const TVolumeIdentity& Identity, int Position) {
    if (Identity.File.empty())
      ByDiskPartition.emplace(DiskPartitionKey(Identity.Disk, Identity.Partition), Position);
    else
      ByFile.emplace(VolumeFileKey(Identity.File), Position);
  }
  // Position of the first entry added with this identity, or -1.
  int Find(const TVolumeIdentity& Identity) const {
    if (Identity.File.empty()) {
      auto Found = ByDiskPartition.find(DiskPartitionKey(Identity.Disk, Identity.Partition));
      return Found == ByDiskPartition.end() ? -1 : Found->second;
    }
    auto Found = ByFile.find(VolumeFileKey(Identity.File));
    return Found == ByFile.end() ? -1 : Found->second;
  }

 private:
  static int64_t DiskPartitionKey(int32_t Disk, int32_t Partition) {
    return int64_t(uint64_t(uint32_t(Disk)) << 32 | uint32_t(Partition));
  }
  // emplace keeps the first position of an identity.
  std::unordered_map<std::string, int> ByFile;
  std::unordered_map<int64_t, int> ByDiskPartition;
};

// A path's own attributes, a link at its end not followed.
class TSystemPathProbe final : public TPathProbe {
 public:
  uint32_t Attributes(const std::string& Path) const override { return GetFileAttr(Path); }
};

// A file-system check a refresh may make: a share is not touched, so that a
// slow or unreachable one never stalls it (the encryption program reports a
// missing file itself). A drive's own file is walked component by component
// and never through a link.
TDrivePath LocateFile(const std::string& Path, bool OwnFile) {
  if (!OwnFile) return WalkDrivePath(Path, TSystemPathProbe());
  return ClassifyPath(Path) == TPathKind::Network || FileExistsEx(Path) ? TDrivePath::File : TDrivePath::Missing;
}

// Appends the volumes of the ".tcvinfo.ini" of Drive (as the last scan saw
// it) whose identity is not in List yet, and a line to Ignored for the file
// or each section skipped for a reason the user should know. The file is
// read once and only within bounds; a drive's own file may name only that
// drive's containers, keyfiles and partitions (see DefinitionPath), and no
// file-system call is made on a path it may not name.
void ReadVolumeConfig(const TSysVolume& Drive, bool ProgramIsTrueCrypt, std::vector<TVolume>& List,
                      TVolumeIdentityIndex& Index, std::string& Ignored) {
  const char InfoDrive = Drive.Letter;
  const std::string FileName = VolumeConfigFileName(InfoDrive);
  const bool OwnFile = InfoDrive == AppDataMarker;
  const auto TellFile = [&](const std::string& Reason) { Ignored += FileName + ": " + Reason + "\n"; };
  if (Drive.InfoAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    TellFile("a link is not followed");
    return;
  }
  const std::size_t MaxBytes = OwnFile ? MaxUserInfoBytes : MaxDriveInfoBytes;
  if (Drive.InfoSize > MaxBytes) {
    TellFile("larger than " + std::to_string(MaxBytes / 1024) + " KiB, not read");
    return;
  }
  std::string Bytes;
  // Grown since the scan: the next scan sees it.
  if (!ReadFileBytes(FileName, Bytes, MaxBytes)) return;
  if (!(Drive.InfoAttributes & FILE_ATTRIBUTE_HIDDEN))
    SetFileAttr(FileName, Drive.InfoAttributes | FILE_ATTRIBUTE_HIDDEN);
  const TProfileText Text(Bytes, AnsiProfileCodePage(), {MaxSectionsPerFile, MaxInfoLineBytes});
  if (Text.Cut()) TellFile("only the first " + std::to_string(MaxSectionsPerFile) + " sections are read");

  // The drive's disk is asked once per file, and only when a section needs it.
  bool DriveDiskKnown = false;
  int32_t DriveDisk = -1;
  auto OwnDisk = [&] {
    if (!DriveDiskKnown && !OwnFile) DriveDisk = GetVolumeDiskNumber(InfoDrive);
    DriveDiskKnown = true;
    return DriveDisk;
  };
  for (const std::string& Section : Text.Sections()) {
    auto Skip = [&](const std::string& Reason) {
      // Shown as "?": a NUL would end the notice there.
      std::string Shown = Section;
      for (char& C : Shown)
        if (HasControlCharacter({&C, 1})) C = '?';
      Ignored += FileName + " [" + Shown + "]: " + Reason + "\n";
    };
    if (HasControlCharacter(Section)) {
      Skip("the name holds a control character");
      continue;
    }
    if (Text.Overlong(Section)) {
      Skip("a line is longer than " + std::to_string(MaxInfoLineBytes) + " bytes");
      continue;
    }
    // The value of Key as Rule (value, reason) takes it; the first value
    // refused is told.
    std::string Refusal;
    auto Take = [&](const char* Key, auto Rule) {
      const std::string Value = Text.Read(Section, Key).value_or("");
      std::string Reason = "holds a control character";
      auto Taken = HasControlCharacter(Value) ? decltype(Rule(Value, Reason)){} : Rule(Value, Reason);
      if (!Taken && Refusal.empty()) Refusal = std::string(Key) + ": " + Reason;
      return std::move(Taken).value_or(typename decltype(Taken)::value_type{});
    };
    auto Switch = [&](const char* Key, bool Default) {
      return Take(Key, [Default](const std::string& Value, std::string& Reason) {
        return SwitchFromInfoValue(Value, Default, Reason);
      });
    };
    auto Whole = [&](const char* Key, int32_t Default, int32_t Min, int32_t Max) {
      return Take(Key, [=](const std::string& Value, std::string& Reason) {
        return WholeFromInfoValue(Value, Default, Min, Max, Reason);
      });
    };
    auto OnThisDrive = [InfoDrive](auto Read) {
      return [=](const std::string& Value, std::string& Reason) { return Read(Value, InfoDrive, Reason); };
    };
    TVolume V;
    V.Disk = Whole("Disk", DiskAbsentSentinel, 0, DiskAbsentSentinel);
    V.Partition = Whole("Partition", 0, 0, INT32_MAX);
    V.File = Take("File", OnThisDrive(DefinitionPath));
    const bool Enabled = Switch("Enabled", true);
    std::vector<std::string> Keyfiles = Take("Keyfiles", OnThisDrive(KeyfilePaths));
    const int32_t Pim = Whole("PIM", 0, 1, MaxPim);
    V.TrueCrypt = Switch("TrueCrypt", false);
    V.Letter = Take("Letter", LetterFromInfoValue);
    const bool SetModified = Switch("FileSetModified", false);
    // Nothing acts on it, so it is read as the settings are.
    V.DismountIfInet = IniTextToBool(Text.Read(Section, "DismountIfInet").value_or(""), false);
    V.Auto = Switch("Auto", false);
    V.DefaultPass = Switch("DefaultPass", true);
    V.NoPassword = Switch("NoPassword", false);
    V.Options.ReadOnly = Switch("ReadOnly", false);
    V.Options.Removable = Switch("Removable", false);
    if (!Refusal.empty()) {
      Skip(Refusal);
      continue;
    }
    if (Pim != 0 && (ProgramIsTrueCrypt || V.TrueCrypt)) {
      Skip("TrueCrypt has no PIM");
      continue;
    }

    // Only a partition needs its disk: a container is known by its path, so
    // the drive's device is not asked for one.
    if (V.Disk == DiskAbsentSentinel) V.Disk = V.File.empty() ? OwnDisk() : -1;
    const TDrivePath Container = V.File.empty() ? TDrivePath::Missing : LocateFile(V.File, OwnFile);
    if (Container == TDrivePath::CrossesLink) {
      Skip("File: crosses a link");
      continue;
    }
    const bool ContainerExists = Container == TDrivePath::File;
    if (V.Partition == 0 && !ContainerExists) continue;
    if (V.File.empty() && !OwnFile && V.Disk != OwnDisk()) continue;  // another disk's partition
    if (Index.Find(V.Identity()) >= 0) continue;
    if (!Enabled) continue;
    TDrivePath Keys = TDrivePath::File;
    for (std::size_t K = 0; K < Keyfiles.size() && Keys == TDrivePath::File; ++K)
      Keys = LocateFile(Keyfiles[K], OwnFile);
    if (Keys == TDrivePath::CrossesLink) Skip("Keyfiles: crosses a link");
    if (Keys != TDrivePath::File) continue;

    V.Index = int32_t(List.size());
    V.InfoDrive = InfoDrive;
    V.Label = Section;
    V.FileSetModified = SetModified && ContainerExists ? 1 : 0;
    V.Options.Keyfiles = std::move(Keyfiles);
    V.Options.Pim = Pim;
    Index.Add(V.Identity(), V.Index);
    List.push_back(std::move(V));
  }
}

}  // namespace

void TVolumeControl::MergeVolumes(std::vector<TVolume>& NewList, const std::vector<TMountedVolume>& MountList) {
  TVolumeIdentityIndex OldIndex;
  for (std::size_t I = 0; I < Volumes.size(); ++I) OldIndex.Add(Volumes[I].Identity(), int(I));
  std::vector<bool> CarriedOver(Volumes.size(), false);

  for (TVolume& V : NewList) {
    if (!MountList.empty()) V.MountedLetter = MountedLetterOf(MountList, V.Identity());
    const int Old = OldIndex.Find(V.Identity());
    // One old entry gives its state to one new entry at most.
    if (Old < 0 || CarriedOver[Old]) continue;
    TVolume& O = Volumes[Old];
    CarriedOver[Old] = true;
    V.Password = std::move(O.Password);
    V.State = O.State;
    V.Deadline = O.Deadline;
    V.Launch = std::move(O.Launch);
    V.LaunchLetter = O.LaunchLetter;
    V.DismountWhenMounted = O.DismountWhenMounted;
    V.DismountForced = O.DismountForced;
    V.PasswordFailed = O.PasswordFailed;
    V.Auto = O.Auto;
    if (V.FileSetModified == O.FileSetModified) {
      V.Monitor = std::move(O.Monitor);
    } else if (O.FileSetModified == 0) {
      // The key was switched on.
      V.FileSetModified = 1;
      if (V.Mounted()) StartMonitor(V);
    } else if (V.FileSetModified != 0) {
      // A change was seen (2) before this re-read (1): keep it for the stamp.
      V.FileSetModified = O.FileSetModified;
      V.Monitor = std::move(O.Monitor);
    } else {
      // The key was switched off.
      StopMonitor(O);
    }
  }
  for (std::size_t I = 0; I < Volumes.size(); ++I) {
    if (CarriedOver[I]) continue;
    TVolume& O = Volumes[I];
    // In use: it stays until it is idle, so that a dismount still reaches it.
    if (O.InUse()) {
      O.Defined = false;
      O.Auto = false;
      O.MountedLetter = 0;
      if (!MountList.empty()) O.MountedLetter = MountedLetterOf(MountList, O.Identity());
      O.Index = int32_t(NewList.size());
      NewList.push_back(std::move(O));
    } else if (O.Monitor) {
      StopMonitor(O);
    }
  }
  Volumes = std::move(NewList);
}

void TVolumeControl::RefreshVolumes() {
  // The driver to ask is the remembered program's.
  FindCryptProgram();
  // Launches that had ended before this read of the driver have their outcome.
  for (TVolume& V : Volumes)
    if (V.Launch && V.Launch->HasEnded()) V.Launch->EndSeen = true;

  const std::string ScanList = DrivesOfType(DriveTypeFixed) + DrivesOfType(DriveTypeRemovable) + AppDataMarker;
  std::vector<TMountedVolume> MountList;
  bool Changed = ScanSysVolumes(ScanList, CryptProgram, SysVolumes, MountList);
  if (Changed) {
    for (const TSysVolume& S : SysVolumes) {
      if (S.Letter < 'A' || S.Letter > 'Z') continue;
      // A drive being pulled out may keep its letter a moment after its disk
      // stops answering: the disk seen before stays for the removal.
      if (FindMounted(MountList, S.Letter))
        DiskOfDrive[S.Letter - 'A'] = -1;
      else if (S.Disk != -1)
        DiskOfDrive[S.Letter - 'A'] = S.Disk;
    }
    std::vector<TVolume> NewList;
    TVolumeIdentityIndex Index;
    std::string Ignored;
    for (const TSysVolume& S : SysVolumes) {
      if (S.InfoWritten == TFileTicks::zero()) continue;
      std::string FileIgnored;
      ReadVolumeConfig(S, CryptProgram.IsTrueCrypt, NewList, Index, FileIgnored);
      // Told again only once the file has changed.
      TFileTicks& ToldFor = IgnoredToldFor[VolumeConfigFileName(S.Letter)];
      if (ToldFor != S.InfoWritten) Ignored += FileIgnored;
      ToldFor = S.InfoWritten;
    }
    MergeVolumes(NewList, MountList);
    // The volumes the open question was for went away.
    if (Question && std::none_of(Volumes.begin(), Volumes.end(), [this](const TVolume& V) { return QuestionIsFor(V); }))
      PostponeQuestion();
    if (!Ignored.empty()) Host.DefinitionsIgnored(Ignored.substr(0, Ignored.size() - 1));
  }

  const TFileTicks SettingsWritten = GetLastWrite(SettingsFileName());
  bool SettingsChanged = false;
  if (SettingsWritten != SettingsFileWritten) {
    SettingsFileWritten = SettingsWritten;
    SettingsChanged = Changed = true;
  }
  if (Changed) Host.VolumesChanged(SettingsChanged);
  UpdateIdleCheck();
}
