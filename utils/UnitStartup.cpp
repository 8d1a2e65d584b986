// The library's start-up and the program's identity strings.
#include "UnitStartup.h"

#include <windows.h>

#include "PathNames.h"
#include "Text.h"

std::string ProgramName;
std::string AppTitle;
std::string VendorName;

int CompareWideText(const std::wstring& A, const std::wstring& B, bool IgnoreCase) {
  return CompareStringW(LOCALE_USER_DEFAULT, IgnoreCase ? NORM_IGNORECASE : 0, A.data(), static_cast<int>(A.size()),
                        B.data(), static_cast<int>(B.size())) -
         2;
}

void InitUtilsUnit() {
  if (ProgramName.empty()) ProgramName = RemoveFileExt(ExtractName(WideToUtf8(ProgramFilePath())));
  if (AppTitle.empty()) AppTitle = ProgramName;
}
