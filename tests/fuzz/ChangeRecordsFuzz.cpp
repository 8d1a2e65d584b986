// Arbitrary watch buffers: no read outside the buffer, no endless walk, and
// every decoded name fits in the bytes it came from.
#include "ChangeRecords.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  // A copy of exactly Size bytes, so ASan sees any read past the end.
  std::vector<uint8_t> Buffer(Data, Data + Size);
  const std::vector<TChangeRecord> Records = DecodeChangeRecords(Buffer.data(), Buffer.size());
  size_t NameUnits = 0;
  for (const TChangeRecord& Record : Records) NameUnits += Record.Name.size();
  // Records never overlap: each takes its own 12-byte header and name.
  if (Records.size() * 12 + NameUnits * 2 > Size) std::abort();
  return 0;
}
