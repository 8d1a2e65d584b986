#include "ChangeRecords.h"

#include "LittleEndian.h"

namespace {

// FILE_NOTIFY_INFORMATION: NextEntryOffset, Action, FileNameLength (bytes),
// then the UTF-16 name without a terminating zero.
constexpr size_t NextOffsetAt = 0;
constexpr size_t ActionAt = 4;
constexpr size_t NameLengthAt = 8;
constexpr size_t NameAt = 12;

}  // namespace

std::vector<TChangeRecord> DecodeChangeRecords(const uint8_t* Buffer, size_t Size) {
  std::vector<TChangeRecord> Records;
  size_t At = 0;
  while (At <= Size && Size - At >= NameAt) {
    const uint8_t* Entry = Buffer + At;
    TChangeRecord Record{LoadLE32(Entry + ActionAt), {}};
    size_t NameBytes = LoadLE32(Entry + NameLengthAt);
    if (NameBytes > Size - At - NameAt) break;  // name runs past the buffer
    const uint8_t* Name = Entry + NameAt;
    for (size_t i = 0; i + 1 < NameBytes; i += 2) Record.Name.push_back(char16_t(Name[i] | Name[i + 1] << 8));
    Records.push_back(std::move(Record));
    uint32_t Next = LoadLE32(Entry + NextOffsetAt);
    if (Next < NameAt + NameBytes) break;  // last one, or the next would overlap this one
    At += Next;
  }
  return Records;
}
