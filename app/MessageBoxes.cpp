#include "MessageBoxes.h"

#include <windows.h>

#include "ConfigFiles.h"
#include "ErrorTexts.h"
#include "Files.h"
#include "Text.h"

void ShowError(const std::string& Text) {
  MessageBoxW(nullptr, Utf8ToWide(Text).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

void ShowLastError() { ShowError(LastErrorText()); }

bool CreateFileFromTemplate(const std::string& TemplateName, const std::string& Target,
                            const std::string& Text, bool ShowError) {
  // An existing Target is not a failure to report.
  if (FileExistsEx(Target)) return false;
  const bool Created = CreateFileFromTemplate(TemplateName, Target, Text);
  if (!Created && ShowError) ShowLastError();
  return Created;
}
