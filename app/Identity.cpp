#include "Identity.h"

std::string UnscrambleString(const std::string& S, bool Add, int Offset) {
  const std::size_t N = S.size();
  std::string Result(N, '\0');
  for (std::size_t i = 0; i < N; ++i) {
    const int Code = static_cast<unsigned char>(S[i]);
    Result[N - 1 - i] = static_cast<char>(static_cast<unsigned char>(Add ? Code + Offset : Code - Offset));
  }
  return Result;
}
