#include "VersionCompare.h"

#include <algorithm>
#include <cstdint>

#include "StrUtils.h"

namespace {

// Decimal integer with an optional sign, within 32 bits.
bool ToInt(const std::string& S, int32_t& Value) {
  std::size_t i = 0;
  bool Negative = false;
  if (i < S.size() && (S[i] == '+' || S[i] == '-')) Negative = S[i++] == '-';
  if (i == S.size()) return false;
  int64_t V = 0;
  for (; i < S.size(); ++i) {
    if (S[i] < '0' || S[i] > '9') return false;
    V = V * 10 + (S[i] - '0');
    if (V > INT64_C(2147483648)) return false;
  }
  if (Negative) V = -V;
  if (V > INT32_MAX || V < INT32_MIN) return false;
  Value = static_cast<int32_t>(V);
  return true;
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
