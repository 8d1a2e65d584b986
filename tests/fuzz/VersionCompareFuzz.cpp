// Arbitrary version texts (they come from other programs' resources): no
// crash, results in -1..1, antisymmetric, and a text equals itself.
#include "VersionCompare.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  const size_t Cut = Input.find('\n');
  const std::string A = Input.substr(0, Cut);
  const std::string B = Cut == std::string::npos ? std::string() : Input.substr(Cut + 1);
  const int AB = CompareVersionStrings(A, B);
  if (AB < -1 || AB > 1 || AB != -CompareVersionStrings(B, A)) std::abort();
  if (CompareVersionStrings(A, A) != 0) std::abort();
  return 0;
}
