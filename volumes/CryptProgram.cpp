#include "CryptProgram.h"

#include "ConfigFiles.h"
#include "FileVersion.h"
#include "Files.h"
#include "MinIniFile.h"
#include "VersionCompare.h"
#include "UnitStartup.h"
#include "VolumeControl.h"
#include "Folders.h"
#include "PathNames.h"
#include "Text.h"

int32_t CryptVersionLevel(const std::string& Version) {
  if (CompareVersionStrings(Version, "1.19") >= 0) return 119;
  if (CompareVersionStrings(Version, "1.15") >= 0) return 115;
  return 114;
}

void FindDefaultCryptProgram(std::string& InitialDir, uint32_t& FilterIndex) {
  for (const char* Name : {"Vera", "True"}) {
    const std::string Relative = std::string("\\") + Name + "Crypt\\" + Name + "Crypt.exe";
    for (const std::string& Candidate :
         {GetProgramFilesFolder() + Relative, "C:\\Program Files" + Relative, "C:\\Program Files (x86)" + Relative}) {
      if (FileExistsEx(Candidate)) {
        InitialDir = ExtractDir(Candidate);
        if (std::string(Name) == "True") FilterIndex = 2;
        return;
      }
    }
  }
}

namespace {

// "Path" always lives in the per-user settings file.
std::string ProgramSettingsFile() { return UserConfigDir() + ProgramName + ".ini"; }

void Locate(TCryptProgram& Program, const std::string& Path) {
  Program.Path = Path;
  Program.IsTrueCrypt = SameTextUtf8(ExtractName(Path), "TrueCrypt.exe");
  if (!Program.IsTrueCrypt) Program.VersionLevel = CryptVersionLevel(GetFileVersion(Path));
}

}  // namespace

const TCryptProgram* TVolumeControl::FindCryptProgram() {
  if (!FileExistsEx(CryptProgram.Path)) {
    TMinIniFile Reader(ProgramSettingsFile(), false);
    Reader.Section = "Common";
    const std::string Saved = Reader.ReadWriteString("Path", "");
    if (!FileExistsEx(Saved)) return nullptr;
    Locate(CryptProgram, Saved);
  }
  return &CryptProgram;
}

bool TVolumeControl::SetCryptProgram(const std::string& Path) {
  if (!FileExistsEx(Path) || !ForceDirsEx(UserConfigDir())) return false;
  TMinIniFile Writer(ProgramSettingsFile(), true);
  Writer.Section = "Common";
  Writer.ReadWriteString("Path", Path);
  Locate(CryptProgram, Path);
  return true;
}
