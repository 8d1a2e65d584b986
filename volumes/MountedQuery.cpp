#include "MountedQuery.h"
#include <algorithm>
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

bool GetMountedVolumes(const TCryptProgram& Program, std::vector<TMountedVolume>& List) {
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
    TMountedVolume Entry;
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

const TMountedVolume* FindMounted(const std::vector<TMountedVolume>& List, char Letter) {
  const auto Found = std::find_if(List.begin(), List.end(), [Letter](const auto& M) { return M.Letter == Letter; });
  return Found == List.end() ? nullptr : &*Found;
}

char MountedLetterOf(const std::vector<TMountedVolume>& List, const TVolumeIdentity& Identity) {
  const auto Found = std::find_if(List.begin(), List.end(), [&Identity](const auto& M) {
    return SameVolume(Identity, {M.Disk, M.Partition, M.Path});
  });
  return Found == List.end() ? 0 : Found->Letter;
}
