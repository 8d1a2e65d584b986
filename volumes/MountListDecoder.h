#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The encryption driver's mount-list request and the decoding of its reply,
// kept free of Windows calls.

constexpr uint32_t MountListControlCode = 0x222018;

// Reply layout: a 32-bit letter bit set, then 26 names of 260 UTF-16 units.
constexpr std::size_t MountListNamesOffset = 4;
constexpr std::size_t MountListNameUnits = 260;
constexpr std::size_t MountListLetters = 26;

struct TMountListRequest {
  const char* DeviceName;  // "\\.\TrueCrypt" or "\\.\VeraCrypt"
  uint32_t ReplySize;
  int32_t FlagsOffset;  // per-letter TrueCrypt-mode flags; -1: none in this form
};

// The request the located program's driver understands: TrueCrypt 13944
// bytes without flags; VeraCrypt 1.19 and later (level 119) 17424 bytes,
// flags at 17320; other VeraCrypt levels 15760 bytes, flags at 15656.
TMountListRequest MountListRequestFor(bool IsTrueCrypt, int VersionLevel);

// One occupied slot of the reply.
struct TMountListSlot {
  char Letter;
  std::u16string Name;  // up to its terminating zero (or the slot's end)
  bool TrueCryptFlag;   // the slot's flag is not zero; false when not read
};

// The slots whose bit is set, in letter order. Reads only inside Size bytes:
// a name or flag that lies past the end of a short reply counts as empty.
std::vector<TMountListSlot> DecodeMountList(const uint8_t* Reply, std::size_t Size, int32_t FlagsOffset);
