#include "MountedQuery.h"
#include <memory>
#include "CryptProgram.h"
#include "Files.h"
#include "Volume.h"
#include "MountListDecoder.h"
#include "MountedNameRules.h"
#include "Text.h"

namespace {

std::string UpperCaseName(std::u16string Name) {
  std::wstring Wide(Name.begin(), Name.end());
  if (!Wide.empty()) CharUpperBuffW(Wide.data(), DWORD(Wide.size()));
  return WideToUtf8(Wide);
}

}  // namespace

bool GetMountedVolumes(const TCryptProgram& Program, TTCMountedVolumeArray& List) {
  List.clear();
  const TMountListRequest Request = MountListRequestFor(Program.IsTrueCrypt, Program.VersionLevel);
  const TFileHandle Driver = OpenDevice(Utf8ToWide(Request.DeviceName));
  if (!Driver) return true;
  std::unique_ptr<uint8_t[]> Reply(new uint8_t[Request.ReplySize]());
  DWORD Returned = 0;
  bool Answered = DeviceIoControl(Driver.get(), MountListControlCode, Reply.get(), Request.ReplySize, Reply.get(),
                                  Request.ReplySize, &Returned, nullptr);
  if (!Answered) return true;

  for (TMountListSlot& Slot : DecodeMountList(Reply.get(), Request.ReplySize, Request.FlagsOffset)) {
    TTCMountedVolume Entry;
    if (!ParseMountedName(UpperCaseName(std::move(Slot.Name)), Entry.Disk, Entry.Partition, Entry.Path)) continue;
    Entry.Letter = Slot.Letter;
    Entry.TrueCryptMode = Program.IsTrueCrypt || Slot.TrueCryptFlag;
    List.push_back(std::move(Entry));
  }
  return true;
}

bool ParseMountedName(const std::string& Name, int32_t& Disk, int32_t& Partition, std::string& Path) {
  if (FileExistsEx(Name)) {
    Disk = -1;
    Partition = -1;
    Path = StripNtPathPrefix(Name);
    return true;
  }
  Path.clear();
  return ParseDiskPartitionName(Name, Disk, Partition);
}

bool FindMountedByLetter(char Letter, const TTCMountedVolume*& Entry, const TTCMountedVolumeArray& List) {
  for (const TTCMountedVolume& M : List)
    if (M.Letter == Letter) {
      Entry = &M;
      return true;
    }
  Entry = nullptr;
  return false;
}

bool FindMountedVolume(const TVolumeIdentity& Identity, char& MountedLetter, const TTCMountedVolumeArray& List) {
  for (const TTCMountedVolume& M : List) {
    if (SameVolume(Identity, {M.Disk, M.Partition, M.Path})) {
      MountedLetter = M.Letter;
      return true;
    }
  }
  MountedLetter = 0;
  return false;
}
