// Volume control's refresh: the drives, the ".tcvinfo.ini" files and the
// merge of what they define into the list.
#include <algorithm>
#include <unordered_map>

#include "ConfigFiles.h"
#include "Files.h"
#include "FileTimes.h"
#include "Launch.h"
#include "MinIniFile.h"
#include "StrUtils.h"
#include "VolumeControl.h"
#include "Text.h"
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

void AddHiddenAttribute(const std::string& FileName) {
  DWORD Attributes = GetFileAttr(FileName);
  if (Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_HIDDEN))
    SetFileAttr(FileName, Attributes | FILE_ATTRIBUTE_HIDDEN);
}

// A file-system check a refresh may make: a share is not touched, so that a
// slow or unreachable one never stalls it (the encryption program reports a
// missing file itself).
bool ExistsOrOnShare(const std::string& Path) { return IsNetworkPath(Path) || FileExistsEx(Path); }

// Appends the volumes of one ".tcvinfo.ini" whose identity is not in List
// yet, and a line to Ignored for each section skipped for an invalid value.
// The file is read once; a drive's own file may name only that drive's
// containers, keyfiles and partitions (see DefinitionPath), and no
// file-system call is made on a path it may not name.
void ReadVolumeConfig(char InfoDrive, bool ProgramIsTrueCrypt, TTCVolumesArray& List, TVolumeIdentityIndex& Index,
                      std::string& Ignored) {
  const std::string FileName = VolumeConfigFileName(InfoDrive);
  AddHiddenAttribute(FileName);
  TMinIniFile Ini(FileName, false);
  const bool OwnFile = InfoDrive == AppDataMarker;
  // The drive's disk is asked once per file, and only when a section needs it.
  bool DriveDiskKnown = false;
  int32_t DriveDisk = -1;
  auto OwnDisk = [&] {
    if (!DriveDiskKnown && !OwnFile) DriveDisk = GetVolumeDiskNumber(InfoDrive);
    DriveDiskKnown = true;
    return DriveDisk;
  };
  std::vector<std::string> Sections = Ini.ReadSections();
  if (Sections.size() > MaxSectionsPerFile) Sections.resize(MaxSectionsPerFile);
  for (const std::string& Section : Sections) {
    Ini.Section = Section;
    TTCVolume V;
    V.Disk = Ini.ReadWriteInteger("Disk", DiskAbsentSentinel);
    V.Partition = Ini.ReadWriteInteger("Partition", 0);
    std::string Refusal;
    auto Skip = [&](const std::string& Reason) { Ignored += FileName + " [" + Section + "]: " + Reason + "\n"; };
    const std::optional<std::string> File = DefinitionPath(Ini.ReadWriteString("File", ""), InfoDrive, Refusal);
    if (!File) {
      Skip("File: " + Refusal);
      continue;
    }
    V.File = *File;
    // Only a partition needs its disk: a container is known by its path, so
    // the drive's device is not asked for one.
    if (V.Disk == DiskAbsentSentinel) V.Disk = V.File.empty() ? OwnDisk() : -1;
    const bool ContainerExists = !V.File.empty() && ExistsOrOnShare(V.File);
    if (V.Partition == 0 && !ContainerExists) continue;
    if (V.File.empty() && !OwnFile && V.Disk != OwnDisk()) continue;  // another disk's partition
    if (Index.Find(V.Identity()) >= 0) continue;
    if (!Ini.ReadWriteBool("Enabled", true)) continue;
    std::optional<std::vector<std::string>> Keyfiles =
        KeyfilePaths(Ini.ReadWriteString("Keyfiles", ""), InfoDrive, Refusal);
    if (!Keyfiles) {
      Skip("Keyfiles: " + Refusal);
      continue;
    }
    const std::optional<int32_t> Pim = PimFromInfoValue(Ini.ReadWriteString("PIM", ""), Refusal);
    if (!Pim) {
      Skip(Refusal);
      continue;
    }
    V.TrueCrypt = Ini.ReadWriteBool("TrueCrypt", false);
    if (*Pim != 0 && (ProgramIsTrueCrypt || V.TrueCrypt)) {
      Skip("TrueCrypt has no PIM");
      continue;
    }
    if (!std::all_of(Keyfiles->begin(), Keyfiles->end(), ExistsOrOnShare)) continue;

    V.Index = int32_t(List.size());
    V.InfoDrive = InfoDrive;
    V.Label = Section;
    V.Letter = LetterFromInfoValue(Ini.ReadWriteString("Letter", ""));
    V.FileSetModified = Ini.ReadWriteBool("FileSetModified", false) && ContainerExists ? 1 : 0;
    V.DismountIfInet = Ini.ReadWriteBool("DismountIfInet", false);
    V.Auto = Ini.ReadWriteBool("Auto", false);
    V.DefaultPass = Ini.ReadWriteBool("DefaultPass", true);
    V.NoPassword = Ini.ReadWriteBool("NoPassword", false);
    V.Options = {Ini.ReadWriteBool("ReadOnly", false), Ini.ReadWriteBool("Removable", false), std::move(*Keyfiles),
                 *Pim};
    Index.Add(V.Identity(), V.Index);
    List.push_back(std::move(V));
  }
}

}  // namespace

void TVolumeControl::MergeVolumes(TTCVolumesArray& NewList, const TTCMountedVolumeArray& MountList) {
  TVolumeIdentityIndex OldIndex;
  for (std::size_t I = 0; I < Volumes.size(); ++I) OldIndex.Add(Volumes[I].Identity(), int(I));
  std::vector<bool> CarriedOver(Volumes.size(), false);

  for (TTCVolume& V : NewList) {
    if (!MountList.empty()) FindMountedVolume(V.Identity(), V.MountedLetter, MountList);
    const int Old = OldIndex.Find(V.Identity());
    // One old entry gives its state to one new entry at most.
    if (Old < 0 || CarriedOver[Old]) continue;
    TTCVolume& O = Volumes[Old];
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
    TTCVolume& O = Volumes[I];
    // In use: it stays until it is idle, so that a dismount still reaches it.
    if (O.InUse()) {
      O.Defined = false;
      O.Auto = false;
      O.MountedLetter = 0;
      if (!MountList.empty()) FindMountedVolume(O.Identity(), O.MountedLetter, MountList);
      O.Index = int32_t(NewList.size());
      NewList.push_back(std::move(O));
    } else if (O.Monitor) {
      StopMonitor(O);
    }
  }
  Volumes = std::move(NewList);
}

void TVolumeControl::RefreshVolumes() {
  std::string Program;
  FindCryptProgram(Program);
  // Launches that had ended before this read of the driver have their outcome.
  for (TTCVolume& V : Volumes)
    if (V.Launch && V.Launch->Ended) V.Launch->EndSeen = true;

  const std::string ScanList = DrivesOfType(DriveTypeFixed) + DrivesOfType(DriveTypeRemovable) + AppDataMarker;
  TTCMountedVolumeArray MountList;
  bool Changed = ScanSysVolumes(ScanList, CryptProgram, SysVolumes, MountList);
  if (Changed) {
    TTCVolumesArray NewList;
    TVolumeIdentityIndex Index;
    std::string Ignored;
    for (const TSysVolume& S : SysVolumes) {
      if (S.InfoDate == 0) continue;
      std::string FileIgnored;
      ReadVolumeConfig(S.Letter, CryptProgram.IsTrueCrypt, NewList, Index, FileIgnored);
      // Told again only once the file has changed.
      double& ToldFor = IgnoredToldFor[VolumeConfigFileName(S.Letter)];
      if (!SameDateTime(ToldFor, S.InfoDate)) Ignored += FileIgnored;
      ToldFor = S.InfoDate;
    }
    MergeVolumes(NewList, MountList);
    // The volumes the open question was for went away.
    if (Question &&
        std::none_of(Volumes.begin(), Volumes.end(), [this](const TTCVolume& V) { return QuestionIsFor(V); }))
      PostponeQuestion();
    if (!Ignored.empty()) Host.DefinitionsIgnored(Ignored.substr(0, Ignored.size() - 1));
  }

  const double SettingsDate = GetFileDateTime(SettingsFileName());
  bool SettingsChanged = false;
  if (!SameDateTime(SettingsDate, SettingsFileDate)) {
    SettingsFileDate = SettingsDate;
    SettingsChanged = Changed = true;
  }
  if (Changed) Host.VolumesChanged(SettingsChanged);
  UpdateIdleCheck();
}
