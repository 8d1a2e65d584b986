#include "Arrays.h"

wchar_t* WideStrLCopy(wchar_t* Dest, const wchar_t* Source, std::size_t MaxCount) {
  std::size_t i = 0;
  for (; i < MaxCount && Source[i] != 0; ++i) Dest[i] = Source[i];
  Dest[i] = 0;
  return Dest;
}
