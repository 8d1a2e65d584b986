#include "VersionCompare.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "StrUtils.h"

namespace {

// The whole of S as a decimal integer with an optional sign, within 32 bits.
bool ToInt(const std::string& S, int32_t& Value) {
  const char* First = S.data();
  const char* Last = First + S.size();
  // from_chars takes a minus sign only.
  if (First != Last && *First == '+') {
    ++First;
    if (First != Last && *First == '-') return false;
  }
  const auto [End, Error] = std::from_chars(First, Last, Value);
  return Error == std::errc() && End == Last;
}

}  // namespace

int CompareVersionStrings(const std::string& A, const std::string& B) {
  if (A.empty()) return B.empty() ? 0 : -1;
  if (B.empty()) return 1;
  int Fields = 1 + std::min(CountOf(".", A), CountOf(".", B));
  std::string RestA = A, RestB = B, FieldA, FieldB;
  for (int i = 0; i < Fields; ++i) {
    SplitAt(RestA, '.', false, FieldA, RestA);
    SplitAt(RestB, '.', false, FieldB, RestB);
    int32_t NumA = 0, NumB = 0;
    if (!ToInt(FieldA, NumA) || !ToInt(FieldB, NumB)) return 0;
    if (NumA != NumB) return NumA > NumB ? 1 : -1;
  }
  return 0;
}
