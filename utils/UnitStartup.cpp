// The library's start-up and the program's identity strings.
#include "UnitStartup.h"

#include "Files.h"
#include "Thread.h"

std::string ProgramName;
std::string AppTitle;
std::string VendorName;

void InitUtilsUnit() {
  InitThreadSynchronization();
  if (ProgramName.empty()) ProgramName = RemoveFileExt(ExtractName(GetParamStr(0)));
  if (AppTitle.empty()) AppTitle = ProgramName;
}
