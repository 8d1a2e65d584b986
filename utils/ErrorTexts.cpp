#include "ErrorTexts.h"

#include "Text.h"

std::string SystemErrorText(DWORD Code) {
  wchar_t Buf[256];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), Buf, 255, nullptr);
  // The system ends its texts with a line break.
  while (n > 0 && Buf[n - 1] <= L' ') --n;
  return WideToUtf8(std::wstring(Buf, n));
}

std::string LastErrorText() { return SystemErrorText(GetLastError()); }
