// Decoding of the change records that a directory watch delivers: a chain of
// FILE_NOTIFY_INFORMATION entries packed into the read buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TChangeRecord {
  uint32_t Action;      // the platform's code; 1..5 are the known ones
  std::u16string Name;  // relative to the watched folder
};

// Walks the chain from the start of Buffer. A zeroed buffer (no records were
// delivered) gives one record with Action 0 and no name. Offsets and lengths
// that point outside the buffer or back into the current record end the walk
// instead of being followed.
std::vector<TChangeRecord> DecodeChangeRecords(const uint8_t* Buffer, size_t Size);
