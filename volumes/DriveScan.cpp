#include "DriveScan.h"
#include <winioctl.h>
#include "ConfigFiles.h"
#include "Files.h"
#include "FileTimes.h"
#include "Text.h"
#include "Volume.h"

namespace {

std::wstring DevicePathOf(char Letter) { return std::wstring(L"\\\\.\\") + wchar_t(Letter) + L':'; }

bool SendQuery(HANDLE Device, uint32_t ControlCode, void* Buffer, uint32_t BufferSize) {
  DWORD Returned = 0;
  return DeviceIoControl(Device, ControlCode, nullptr, 0, Buffer, BufferSize, &Returned, nullptr);
}

int32_t DiskNumberOf(HANDLE Device) {
  VOLUME_DISK_EXTENTS Extents{};
  if (!SendQuery(Device, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, &Extents, sizeof Extents)) return -1;
  return int32_t(Extents.Extents[0].DiskNumber);
}

int32_t PartitionNumberOf(HANDLE Device) {
  PARTITION_INFORMATION_EX Info{};
  if (!SendQuery(Device, IOCTL_DISK_GET_PARTITION_INFO_EX, &Info, sizeof Info)) return -1;
  return int32_t(Info.PartitionNumber);
}

bool SameSysVolume(const TSysVolume& A, const TSysVolume& B) {
  return A.Letter == B.Letter && A.Disk == B.Disk && A.Partition == B.Partition && A.InfoWritten == B.InfoWritten &&
         (A.MountedPath == B.MountedPath || SameTextUtf8(A.MountedPath, B.MountedPath));
}

}  // namespace

std::string DriveLetters(bool Upper) { return Upper ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "abcdefghijklmnopqrstuvwxyz"; }

std::string DrivesOfType(uint16_t DriveType) {
  std::string Letters;
  for (char L : DriveLetters(true)) {
    const wchar_t Root[] = {wchar_t(L), L':', L'\\', 0};
    if (GetDriveTypeW(Root) == DriveType) Letters += L;
  }
  return Letters;
}

int32_t GetVolumeDiskNumber(char Letter) {
  TFileHandle Device = OpenDevice(DevicePathOf(Letter));
  return Device ? DiskNumberOf(Device.get()) : -1;
}

bool ScanSysVolumes(const std::string& ScanList, const TCryptProgram& Program, std::vector<TSysVolume>& SysVolumes,
                    std::vector<TMountedVolume>& MountList) {
  std::vector<TSysVolume> New(ScanList.size());
  // The driver is asked once per scan, at the first drive without a disk.
  bool MountListAsked = false;
  for (std::size_t I = 0; I < ScanList.size(); ++I) {
    TSysVolume& S = New[I];
    S.Letter = ScanList[I];
    const TFileFacts Info = GetFileFacts(VolumeConfigFileName(S.Letter));
    S.InfoWritten = Info.LastWrite;
    S.InfoAttributes = Info.Attributes;
    S.InfoSize = Info.Size;
    // One open serves both queries: a scan runs at every tick.
    if (TFileHandle Device = OpenDevice(DevicePathOf(S.Letter))) {
      S.Disk = DiskNumberOf(Device.get());
      if (S.Disk != -1) S.Partition = PartitionNumberOf(Device.get());
      if (S.Disk != -1) continue;
    }
    S.Disk = -1;
    if (!MountListAsked && MountList.empty()) GetMountedVolumes(Program, MountList);
    MountListAsked = true;
    if (const TMountedVolume* Mounted = FindMounted(MountList, S.Letter)) {
      S.Disk = Mounted->Disk;
      S.Partition = Mounted->Partition;
      S.MountedPath = Mounted->Path;
    } else {
      S.Partition = 0;
    }
  }

  bool Changed = New.size() != SysVolumes.size();
  for (std::size_t I = 0; !Changed && I < New.size(); ++I) Changed = !SameSysVolume(New[I], SysVolumes[I]);
  if (Changed) SysVolumes = std::move(New);
  return Changed;
}

char FindFreeDriveLetter(char Letter, const std::function<bool(char)>& Taken) {
  // Not a drive letter: the search starts after B.
  const int From = Letter >= 'C' && Letter <= 'Z' ? Letter - 'A' : 1;
  for (int Step = 1; Step < 26; ++Step) {
    const char Candidate = char('A' + (From + Step) % 26);
    if (Candidate >= 'C' && !Taken(Candidate)) return Candidate;
  }
  return 'Z';
}
