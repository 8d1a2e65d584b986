#include "MessageBoxes.h"

#include <windows.h>

#include "Text.h"
#include "UnitStartup.h"

void ShowWarning(const std::string& Text) {
  MessageBoxW(nullptr, Utf8ToWide(Text).c_str(), Utf8ToWide(AppTitle).c_str(), MB_OK | MB_ICONWARNING);
}
