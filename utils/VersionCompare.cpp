#include "VersionCompare.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "StrUtils.h"

namespace {

// The field before the next dot of Rest, trimmed; Rest keeps what follows it.
std::string_view NextField(std::string_view& Rest) {
  const std::size_t Dot = Rest.find('.');
  const std::string_view Field = Trim(Rest.substr(0, Dot));
  Rest = Dot == std::string_view::npos ? std::string_view() : Rest.substr(Dot + 1);
  return Field;
}

}  // namespace

int CompareVersionStrings(std::string_view A, std::string_view B) {
  if (A.empty()) return B.empty() ? 0 : -1;
  if (B.empty()) return 1;
  const std::ptrdiff_t Fields = 1 + std::min(std::ranges::count(A, '.'), std::ranges::count(B, '.'));
  for (std::ptrdiff_t i = 0; i < Fields; ++i) {
    const std::optional<int32_t> NumA = ParseInt32(NextField(A), TNumberRule::Strict);
    const std::optional<int32_t> NumB = ParseInt32(NextField(B), TNumberRule::Strict);
    if (!NumA || !NumB) return 0;
    if (*NumA != *NumB) return *NumA > *NumB ? 1 : -1;
  }
  return 0;
}
