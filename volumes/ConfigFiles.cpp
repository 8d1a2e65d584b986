#include "ConfigFiles.h"
#include "Files.h"
#include "Folders.h"
#include "UnitStartup.h"
#include "Volume.h"

namespace {
const char* const VolumeConfigName = ".tcvinfo.ini";
}

std::string VolumeConfigFileName(char Letter) {
  if (Letter == AppDataMarker) return GetAppDataFolder() + VolumeConfigName;
  return std::string{Letter, ':', '\\'} + VolumeConfigName;
}

std::string UserConfigDir() { return GetAppDataFolder() + VendorName + "\\" + ProgramName + "\\"; }

std::string SettingsFileName() {
  std::string BesideProgram = GetProgramFolder() + ProgramName + ".ini";
  if (FileExistsEx(BesideProgram)) return BesideProgram;
  return UserConfigDir() + ProgramName + ".ini";
}

bool CreateFileFromTemplate(const std::string& TemplateName, const std::string& Target, const std::string& Text) {
  if (FileExistsEx(Target)) return false;
  std::string Bytes;
  if (!ReadFileBytes(GetProgramFolder() + TemplateName, Bytes)) Bytes = Text;
  return WriteFileSafely(Target, Bytes) != TWriteOutcome::Failed;
}
