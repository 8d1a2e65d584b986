// Arbitrary driver replies and volume names: no read outside the reply, no
// crash, and every decoded slot is a letter whose bit is set.
#include "MountListDecoder.h"
#include "MountedNameRules.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  // The first byte picks the flags table: none, or one of the two offsets.
  if (Size < 1) return 0;
  const int32_t FlagsOffsets[] = {-1, 15656, 17320, 0};
  const int32_t FlagsOffset = FlagsOffsets[Data[0] & 3];
  // A copy of exactly the reply's bytes, so ASan sees any read past the end.
  std::vector<uint8_t> Reply(Data + 1, Data + Size);
  uint32_t Bits = 0;
  if (Reply.size() >= 4) std::memcpy(&Bits, Reply.data(), 4);
  for (const TMountListSlot& Slot : DecodeMountList(Reply.data(), Reply.size(), FlagsOffset)) {
    if (Slot.Letter < 'A' || Slot.Letter > 'Z' || !(Bits & 1u << (Slot.Letter - 'A')) ||
        Slot.Name.size() > MountListNameUnits)
      std::abort();
    std::string Name;
    for (char16_t C : Slot.Name) Name += char(C);
    int32_t Disk, Partition;
    ParseDiskPartitionName(Name, Disk, Partition);
    StripNtPathPrefix(Name);
  }
  return 0;
}
