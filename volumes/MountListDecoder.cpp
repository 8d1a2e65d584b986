#include "MountListDecoder.h"

#include "LittleEndian.h"

namespace {

uint32_t ReadUInt32(const uint8_t* Reply, std::size_t Size, std::size_t Offset) {
  if (Offset > Size || Size - Offset < 4) return 0;
  return LoadLE32(Reply + Offset);
}

std::u16string ReadName(const uint8_t* Reply, std::size_t Size, std::size_t Offset) {
  std::u16string Name;
  for (std::size_t Unit = 0; Unit < MountListNameUnits; ++Unit) {
    std::size_t At = Offset + Unit * 2;
    if (At > Size || Size - At < 2) break;
    char16_t C = char16_t(Reply[At] | Reply[At + 1] << 8);
    if (C == 0) break;
    Name.push_back(C);
  }
  return Name;
}

}  // namespace

TMountListRequest MountListRequestFor(bool IsTrueCrypt, int VersionLevel) {
  if (IsTrueCrypt) return {"\\\\.\\TrueCrypt", 13944, -1};
  if (VersionLevel == 119) return {"\\\\.\\VeraCrypt", 17424, 17320};
  return {"\\\\.\\VeraCrypt", 15760, 15656};
}

std::vector<TMountListSlot> DecodeMountList(const uint8_t* Reply, std::size_t Size, int32_t FlagsOffset) {
  std::vector<TMountListSlot> Slots;
  uint32_t Mounted = ReadUInt32(Reply, Size, 0);
  for (std::size_t K = 0; K < MountListLetters; ++K) {
    if (!(Mounted & (uint32_t(1) << K))) continue;
    TMountListSlot Slot{char('A' + K), ReadName(Reply, Size, MountListNamesOffset + K * MountListNameUnits * 2), false};
    if (FlagsOffset >= 0) Slot.TrueCryptFlag = ReadUInt32(Reply, Size, std::size_t(FlagsOffset) + K * 4) != 0;
    Slots.push_back(std::move(Slot));
  }
  return Slots;
}
