// The volume record's look-up and creating a file from its template.
#include "VolumeControlFixture.h"

namespace {

using VolumeDefsRecord = VolumeControlTest;

TEST(VolumeDefsFind, ByPathIgnoringCaseElseByDiskAndPartition) {
  TTCVolumesArray List = {{.Disk = 1, .Partition = 2}, {.File = "d:\\a.hc"},
                          {.Disk = 1, .Partition = 2, .File = "E:\\b.hc"}, {.Disk = 1, .Partition = 2}};
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

TEST_F(VolumeDefsRecord, CreateFileFromTemplate) {
  ScratchFolder Folder("record");
  const std::string Name = ProgramName + "Template.ini", Template = GetProgramFolder() + Name;
  // Without a template the text is written.
  EXPECT_TRUE(CreateFileFromTemplate(Name, Folder / "a.ini", "[Common]\r\n", false));
  EXPECT_EQ(ReadTextFile(Folder / "a.ini"), "[Common]\r\n");
  // The template wins over the text; an existing target is left alone.
  ASSERT_TRUE(::WriteTextFile("[Common]\r\nIcon=1\r\n", Template, false));
  EXPECT_TRUE(CreateFileFromTemplate(Name, Folder / "c.ini", "text", false));
  EXPECT_EQ(ReadTextFile(Folder / "c.ini"), "[Common]\r\nIcon=1\r\n");
  EXPECT_FALSE(CreateFileFromTemplate(Name, Folder / "a.ini", "other", false));
  EXPECT_EQ(ReadTextFile(Folder / "a.ini"), "[Common]\r\n");
  FileDelete(Template);
  // A missing folder is not created.
  EXPECT_FALSE(CreateFileFromTemplate(Name, Folder / "missing\\d.ini", "x", false));
  EXPECT_FALSE(DirExistsEx(Folder / "missing"));
}

} // namespace
