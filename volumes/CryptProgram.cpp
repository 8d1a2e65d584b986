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

bool TVolumeControl::FindCryptProgram(std::string& Path) {
  Path.clear();
  TCryptProgram& Program = CryptProgram;
  if (FileExistsEx(Program.Path)) {
    Path = Program.Path;
    return true;
  }
  // The question runs a message loop in which a timer tick or a menu could
  // ask again; one question at a time, the others go without a program.
  if (AskingForProgram) return false;
  const std::string ConfigDir = UserConfigDir();
  if (!ForceDirsEx(ConfigDir)) return false;
  // "Path" always lives in the per-user settings file.
  const std::string Settings = ConfigDir + ProgramName + ".ini";
  TMinIniFile Reader(Settings, false);
  Reader.Section = "Common";
  Program.Path = Reader.ReadWriteString("Path", "");
  bool Found = FileExistsEx(Program.Path);
  if (!Found) {
    std::string InitialDir, Chosen;
    uint32_t FilterIndex = 1;
    FindDefaultCryptProgram(InitialDir, FilterIndex);
    QuestionPostponed = false;
    AskingForProgram = true;
    Found = Host.LocateCryptProgram(InitialDir, FilterIndex, Chosen);
    AskingForProgram = false;
    // "Not now": the stale path stays written, to be asked about again.
    if (QuestionPostponed) return false;
    Program.Path = Found ? Chosen : std::string();
    TMinIniFile Writer(Settings, true);
    Writer.Section = "Common";
    Writer.ReadWriteString("Path", Program.Path);
  }
  if (Found) {
    Program.IsTrueCrypt = SameTextUtf8(ExtractName(Program.Path), "TrueCrypt.exe");
    if (!Program.IsTrueCrypt) Program.VersionLevel = CryptVersionLevel(GetFileVersion(Program.Path));
  }
  Path = Program.Path;
  return Found;
}
