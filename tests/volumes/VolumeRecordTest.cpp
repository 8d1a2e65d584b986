// The volume record's look-ups and the locations of the configuration files.
#include "VolumeTestEnv.h"

#include "ConfigFiles.h"
#include "Files.h"
#include "TestSupport.h"
#include "UnitStartup.h"
#include "Volume.h"

namespace {

TTCVolume Entry(int32_t Disk, int32_t Partition, const std::string& File) {
  TTCVolume V;
  V.Disk = Disk;
  V.Partition = Partition;
  V.File = File;
  return V;
}

using VolumeDefsRecord = VolumeControlTest;

TEST_F(VolumeDefsRecord, FindVolumeByPathIgnoringCaseElseByDiskAndPartition) {
  TTCVolumesArray List = {Entry(1, 2, ""), Entry(0, 0, "d:\\a.hc"), Entry(1, 2, "E:\\b.hc"), Entry(1, 2, "")};
  TTCVolume* Found = nullptr;
  int Index = -1;

  // A path matches whatever Disk and Partition say.
  ASSERT_TRUE(FindVolume(9, 9, "D:\\A.HC", List, Found, &Index));
  EXPECT_EQ(Found, &List[1]);
  EXPECT_EQ(Index, 1);
  // Without a path the first entry with the same pair wins, path or not.
  ASSERT_TRUE(FindVolume(1, 2, "", List, Found, &Index));
  EXPECT_EQ(Index, 0);
  EXPECT_TRUE(FindVolume(0, 0, "", List, Found));
  EXPECT_EQ(Found, &List[1]);

  EXPECT_FALSE(FindVolume(1, 2, "D:\\a.hcx", List, Found, &Index));
  EXPECT_EQ(Found, nullptr);
  EXPECT_FALSE(FindVolume(2, 1, "", List, Found));
}

TEST_F(VolumeDefsRecord, ConfigFileLocations) {
  EXPECT_EQ(VolumeConfigFileName('E'), "E:\\.tcvinfo.ini");
  EXPECT_EQ(VolumeConfigFileName(AppDataMarker), GetAppDataFolder() + ".tcvinfo.ini");
  EXPECT_EQ(UserConfigDir(), GetAppDataFolder() + "VolumeDefsTests\\" + ProgramName + "\\");

  // The per-user settings file, existing or not, unless one lies beside the program.
  const std::string BesideProgram = GetProgramFolder() + ProgramName + ".ini";
  EXPECT_EQ(SettingsFileName(), UserConfigDir() + ProgramName + ".ini");
  ASSERT_TRUE(::WriteTextFile("", BesideProgram, false));
  EXPECT_EQ(SettingsFileName(), BesideProgram);
}

TEST_F(VolumeDefsRecord, CreateFileFromTemplate) {
  ScratchFolder Folder("record");
  const std::string TemplateName = ProgramName + "Template.ini";
  const std::string Template = GetProgramFolder() + TemplateName;

  // Without a template the text is written, an empty one too.
  EXPECT_TRUE(CreateFileFromTemplate(TemplateName, Folder / "a.ini", "[Common]\r\n", false));
  EXPECT_EQ(ReadTextFile(Folder / "a.ini"), "[Common]\r\n");
  EXPECT_TRUE(CreateFileFromTemplate(TemplateName, Folder / "b.ini", "", false));
  EXPECT_TRUE(FileExistsEx(Folder / "b.ini"));
  EXPECT_EQ(ReadTextFile(Folder / "b.ini"), "");

  // The template wins over the text; an existing target is left alone.
  ASSERT_TRUE(::WriteTextFile("[Common]\r\nIcon=1\r\n", Template, false));
  EXPECT_TRUE(CreateFileFromTemplate(TemplateName, Folder / "c.ini", "text", false));
  EXPECT_EQ(ReadTextFile(Folder / "c.ini"), "[Common]\r\nIcon=1\r\n");
  EXPECT_FALSE(CreateFileFromTemplate(TemplateName, Folder / "a.ini", "other", false));
  EXPECT_EQ(ReadTextFile(Folder / "a.ini"), "[Common]\r\n");
  FileDelete(Template);

  // A missing folder is not created.
  EXPECT_FALSE(CreateFileFromTemplate(TemplateName, Folder / "missing\\d.ini", "x", false));
  EXPECT_FALSE(DirExistsEx(Folder / "missing"));
}

} // namespace
