// Arbitrary "1.d" contents: no read past the buffer, no crash, and nothing is
// accepted that fails a check of the record.
#include "PasswordRecord.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const double Now = 46000.5;
  // A copy of exactly Size bytes, so ASan sees any read past the end.
  std::vector<std::uint8_t> File(Data, Data + Size);
  const auto Password = ReadPasswordFile(File.data(), File.size(), Now);
  if (!Password) return 0;
  if (Size < PasswordFileHeadSize) std::abort();
  TPasswordRecordBytes Plain;
  if (!UnscrambleBuffer(File.data(), File.size(), Plain.data(), Plain.size())) std::abort();
  const TPasswordRecord Record = DecodePasswordRecord(Plain);
  const bool InTime =
      Record.SavedAt == 0 || WholeMinutesBetween(Now, Record.SavedAt) <= Record.Minutes;
  if (Record.IsReal == 0 || Record.Length < 1 || Record.Length > 255 || !InTime ||
      Password->size() != static_cast<std::size_t>(Record.Length) ||
      std::memcmp(Password->data(), Record.Text.data(), Password->size()) != 0)
    std::abort();
  return 0;
}
