#include "VolumeTestEnv.h"

#include "ConfigFiles.h"
#include "CryptProgram.h"
#include "DriveScan.h"
#include "Files.h"
#include "UnitStartup.h"
#include "VolumeDefinitions.h"

void VolumeControlTest::SetUp() {
  InitUtilsUnit();
  VendorName = "VolumeDefsTests";
  CryptProgramPath = GetParamStr(0);
  CryptIsTrueCrypt = false;
  CryptVersionLevel = 119;
  Volumes.clear();
  SysVolumes.clear();
  SettingsFileDate = 0;
  RebuildMenusHook = nullptr;
  FileDelete(VolumeConfigFileName(AppDataMarker));
  RemoveSettingsFiles();
}

void VolumeControlTest::TearDown() {
  Volumes.clear();
  SysVolumes.clear();
  RebuildMenusHook = nullptr;
  FileDelete(VolumeConfigFileName(AppDataMarker));
  RemoveSettingsFiles();
}

std::string VolumeControlTest::WriteInfo(char Letter, const std::string& Text, double Stamp) {
  const std::string Path = VolumeConfigFileName(Letter);
  SetFileAttr(Path, FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(::WriteTextFile(Text, Path, false)) << Path;
  if (Stamp != 0) EXPECT_EQ(SetFileDateTime(Path, Stamp), 0u) << Path;
  return Path;
}

void VolumeControlTest::WriteStamped(const std::string& Path, const std::string& Text, double Stamp) {
  EXPECT_TRUE(::WriteTextFile(Text, Path, false)) << Path;
  EXPECT_EQ(SetFileDateTime(Path, Stamp), 0u) << Path;
}

void VolumeControlTest::RemoveSettingsFiles() {
  FileDelete(GetProgramFolder() + ProgramName + ".ini");
  FileDelete(UserConfigDir() + ProgramName + ".ini");
}
