// The "Error" box, the system's error texts and the confirmation box.
#include "Files.h"
#include "StrUtils.h"
#include "UnitStartup.h"

void ShowError(const std::string& Text) {
  MessageBoxW(nullptr, Utf8ToWide(Text).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

std::string SystemErrorText(DWORD Code) {
  wchar_t Buf[256];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), Buf, 255, nullptr);
  // The system ends its texts with a line break.
  while (n > 0 && Buf[n - 1] <= L' ') --n;
  return WideToUtf8(std::wstring(Buf, n));
}

std::string LastErrorText() { return SystemErrorText(GetLastError()); }

void ShowLastError() {
  DWORD Code = GetLastError();
  ShowError(SystemErrorText(Code));
}

bool ConfirmBox(const std::string& Text, bool YesNo) {
  int Answer = MessageBoxW(nullptr, Utf8ToWide(Text).c_str(), Utf8ToWide(AppTitle).c_str(),
                           MB_ICONQUESTION | (YesNo ? MB_YESNO : MB_OKCANCEL));
  return Answer == (YesNo ? IDYES : IDOK);
}
