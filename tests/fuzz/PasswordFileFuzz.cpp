// Arbitrary "1.d" contents, old or current format (the protection left out,
// so the record itself is what is fuzzed): no read past the buffer, no crash,
// nothing accepted that fails a check, and what is accepted reads back the
// same after it is written again.
#include "PasswordRecord.h"

#include <cstdlib>
#include <vector>

namespace {

std::optional<std::string> Keep(std::string_view Plain) { return std::string(Plain); }
std::optional<SecretText> Open(std::string_view Blob) { return SecretText(Blob); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const TLocalTime Now = std::chrono::local_days{std::chrono::year{2025} / 12 / 9} + std::chrono::hours(12);
  // A copy of exactly Size bytes, so ASan sees any read past the end.
  const std::vector<char> Copy(Data, Data + Size);
  const std::string_view File(Copy.data(), Copy.size());
  const TPasswordFileRead Read = ReadPasswordFile(File, Now, Open);
  if (!Read.Accepted) {
    if (!Read.Rewrite && File != NoPasswordFile()) std::abort();
    return 0;
  }
  const TPasswordRecord& Record = *Read.Accepted;
  if (!IsPasswordRecordAccepted(Record, Now)) std::abort();
  const std::string Again = BuildPasswordFile(Record, true, Keep);
  // Only an old file is rewritten once accepted.
  if (Read.Rewrite == File.starts_with(NoPasswordFile())) std::abort();
  const TPasswordFileRead Back = ReadPasswordFile(Again, Now, Open);
  if (!Back.Accepted || Back.Rewrite || !(Back.Accepted->Password == Record.Password) ||
      Back.Accepted->Minutes != Record.Minutes)
    std::abort();
  return 0;
}
