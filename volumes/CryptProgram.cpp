#include "CryptProgram.h"

#include <vector>

#include "ConfigFiles.h"
#include "FileVersion.h"
#include "Files.h"
#include "Folders.h"
#include "MinDialogs.h"
#include "MinIniFile.h"
#include "PathNames.h"
#include "Text.h"
#include "UnitStartup.h"
#include "VersionCompare.h"

std::string CryptProgramPath;
bool CryptIsTrueCrypt = false;
int32_t CryptVersionLevel = 0;

namespace {

// The file dialog runs a message loop in which a timer tick or a menu could
// ask again; one dialog at a time, the others go without a program.
bool Asking = false;

int32_t VersionLevel(const std::string& Version) {
  if (CompareVersionStrings(Version, "1.19") >= 0) return 119;
  if (CompareVersionStrings(Version, "1.15") >= 0) return 115;
  return 114;
}

}  // namespace

void FindDefaultCryptProgram(std::string& InitialDir, uint32_t& FilterIndex) {
  for (const char* Name : {"Vera", "True"}) {
    const std::string Relative = std::string("\\") + Name + "Crypt\\" + Name + "Crypt.exe";
    for (const std::string& Candidate :
         {GetProgramFilesFolder() + Relative, "C:\\Program Files" + Relative,
          "C:\\Program Files (x86)" + Relative}) {
      if (FileExistsEx(Candidate)) {
        InitialDir = ExtractDir(Candidate);
        if (std::string(Name) == "True") FilterIndex = 2;
        return;
      }
    }
  }
}

bool FindCryptProgram(std::string& Path) {
  Path.clear();
  if (FileExistsEx(CryptProgramPath)) {
    Path = CryptProgramPath;
    return true;
  }
  if (Asking) return false;
  const std::string ConfigDir = UserConfigDir();
  if (!ForceDirsEx(ConfigDir)) return false;
  // "Path" always lives in the per-user settings file.
  const std::string Settings = ConfigDir + ProgramName + ".ini";
  TMinIniFile Reader(Settings, false);
  Reader.Section = "Common";
  CryptProgramPath = Reader.ReadWriteString("Path", "");
  bool Found = FileExistsEx(CryptProgramPath);
  if (!Found) {
    std::string InitialDir;
    uint32_t FilterIndex = 1;
    FindDefaultCryptProgram(InitialDir, FilterIndex);
    std::vector<std::string> Files;
    Asking = true;
    Found = FileDialog(true, "Select Crypt Application", InitialDir,
                       "VeraCrypt|VeraCrypt.exe|TrueCrypt|TrueCrypt.exe|Programs(*.exe)|*.exe",
                       FilterIndex, Files);
    Asking = false;
    CryptProgramPath = Found ? Files.front() : std::string();
    TMinIniFile Writer(Settings, true);
    Writer.Section = "Common";
    Writer.ReadWriteString("Path", CryptProgramPath);
  }
  if (Found) {
    CryptIsTrueCrypt = SameTextUtf8(ExtractName(CryptProgramPath), "TrueCrypt.exe");
    if (!CryptIsTrueCrypt) CryptVersionLevel = VersionLevel(GetFileVersion(CryptProgramPath));
  }
  Path = CryptProgramPath;
  return Found;
}
