// Reading the ".tcvinfo.ini" files into Volumes, what a refresh keeps and
// reports, and the password questions they lead to.
#include "VolumeControlFixture.h"

namespace {
std::string Root(char Letter) { return std::string{Letter, ':', '\\'}; }

// A removable drive R and, on a later letter, a fixed one F, each with a container.
class VolumeDefsRefresh : public VolumeControlTest {
 protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(Removable.Mapped() && Fixed.Mapped());
    ASSERT_TRUE(::WriteFileBytes(Root(F) + "c1.hc", "") && ::WriteFileBytes(Root(R) + "r.hc", ""));
  }
  void TearDown() override {
    SetFileAttr(VolumeConfigFileName(R), FILE_ATTRIBUTE_NORMAL);
    VolumeControlTest::TearDown();
  }
  ScratchFolder RemovableFolder{"removable"}, FixedFolder{"fixed"};
  TestDrive Removable{UnusedDriveLetter('D'), RemovableFolder.Path(), WineDriveType::Removable};
  TestDrive Fixed{UnusedDriveLetter(char(Removable.Letter() + 1)), FixedFolder.Path()};
  const char R = Removable.Letter(), F = Fixed.Letter();
};

// Keys in any letter case; a disk of 2147483647 is the drive's own;
// "FileSetModified" needs a container; a missing container skips its section.
TEST_F(VolumeDefsRefresh, FixedBeforeRemovableBeforeUserAndFirstEnabledDefinitionWins) {
  const std::string Lower = std::string(1, char(F + 32)) + ":\\c1.hc", Upper = Root(F) + "C1.HC";
  // Wine gives every mapped drive the same disk, so the partitions of both
  // drives can be the same volume.
  const int32_t Disk = GetVolumeDiskNumber(R);
  ASSERT_EQ(GetVolumeDiskNumber(F), Disk);
  const std::string Info = WriteInfo(R, "[RemSame]\r\nFile=" + Upper +
                                            "\r\n[RemOnly]\r\nFile=\\r.hc\r\nfilesetmodified=1\r\n[RemPart]\r\n"
                                            "Partition=1\r\n[RemOff]\r\nPartition=2\r\nEnabled=0\r\n[Given]\r\n"
                                            "partition=4\r\nDISK=2147483647\r\nLetter=T\r\nauto=TRUE\r\n"
                                            "FileSetModified=1\r\n[Missing]\r\nFile=\\missing.hc\r\n");
  ASSERT_EQ(SetFileAttr(Info, FILE_ATTRIBUTE_READONLY), 0u);
  WriteInfo(F, "[FixOff]\r\nFile=\\c1.hc\r\nEnabled=0\r\n[FixSame]\r\nFile=" + Lower +
                   "\r\n[FixPart]\r\nDisk=" + std::to_string(Disk) + "\r\nPartition=1\r\n");
  WriteInfo(AppDataMarker,
            "[UserSame]\r\nFile=" + Upper + "\r\n[UserNew]\r\nDisk=" + std::to_string(Disk) + "\r\nPartition=2\r\n");
  Control.RefreshVolumes();
  ASSERT_EQ(Labels(), (std::vector<std::string>{"FixSame", "FixPart", "RemOnly", "Given", "UserNew"}));
  EXPECT_EQ(Volumes[0].File, Lower);
  EXPECT_EQ(std::pair(Volumes[2].File, Volumes[2].FileSetModified), std::pair(Root(R) + "r.hc", uint8_t(1)));
  const TVolume& G = Volumes[3];
  EXPECT_EQ(std::tuple(G.Disk, G.Partition, G.Letter, G.Auto, G.FileSetModified), std::tuple(Disk, 4, 'T', true, 0));
  EXPECT_EQ(Volumes[4].InfoDrive, AppDataMarker);
  for (std::size_t I = 0; I < Volumes.size(); ++I) EXPECT_EQ(Volumes[I].Index, int32_t(I));
  // Files that were read are hidden, their other attributes kept.
  EXPECT_EQ(GetFileAttr(Info) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(GetFileAttr(VolumeConfigFileName(AppDataMarker)) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(VolumeDefsRefresh, RuntimeStateSurvivesReread) {
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\nAuto=1\r\nFileSetModified=1\r\n[Part]\r\nPartition=1\r\n", StampA);
  Control.RefreshVolumes();
  ASSERT_EQ(Volumes.size(), 2u);
  TVolume& Old = Volumes[0];
  Old.Password = "secret", Old.State = TVolumeState::Mounting, Old.Deadline = 900, Old.Auto = false;
  Old.FileSetModified = 2;  // a change was seen inside
  Volumes[1].State = TVolumeState::Dismounting, Volumes[1].Auto = true;
  // Edited: a new section first, "Auto" switched, the path in other case.
  WriteInfo(F,
            "[New]\r\nPartition=7\r\n[One renamed]\r\nFile=\\C1.HC\r\nAuto=1\r\nFileSetModified=1\r\n"
            "[Part]\r\nPartition=1\r\nAuto=0\r\n",
            StampB);
  Control.RefreshVolumes();
  ASSERT_EQ(Labels(), (std::vector<std::string>{"New", "One renamed", "Part"}));
  const TVolume& One = Volumes[1];
  EXPECT_EQ(
      std::tuple(One.Index, std::string(One.Password.view()), One.State, One.Auto, One.Deadline, One.FileSetModified),
      std::tuple(1, std::string("secret"), TVolumeState::Mounting, false, uint64_t(900), 2));
  EXPECT_TRUE(Volumes[2].State == TVolumeState::Dismounting && Volumes[2].Auto);
  EXPECT_FALSE(Volumes[0].Auto || Volumes[0].State != TVolumeState::Idle);
}

// What a stick's file names off the stick is skipped unseen (a network path
// would send the user's credentials to its host, a dead host would stall the
// tray), as is all after its 256th section. The user's own file may name a
// share, which is not looked at either.
TEST_F(VolumeDefsRefresh, AStickNamesOnlyItselfAndAtMost256Sections) {
  std::string Text = "[Network]\r\nFile=\\\\192.0.2.1\\share\\a.hc\r\nAuto=1\r\n[OtherDrive]\r\nFile=" + Root(F) +
                     "c1.hc\r\nAuto=1\r\n[OtherDisk]\r\nDisk=" + std::to_string(GetVolumeDiskNumber(R) + 7) +
                     "\r\nPartition=1\r\nAuto=1\r\n[Own]\r\nFile=\\r.hc\r\n";
  for (int I = 0; I < 300; ++I) Text += "[P" + std::to_string(I) + "]\r\nPartition=" + std::to_string(I + 1) + "\r\n";
  const std::string Info = WriteInfo(R, Text);
  WriteInfo(AppDataMarker, "[Share]\r\nFile=\\\\192.0.2.1\\share\\a.hc\r\n");
  Control.RefreshVolumes();
  ASSERT_EQ(Volumes.size(), 256u - 3 + 1);
  EXPECT_EQ(Volumes[0].Label, "Own");
  EXPECT_EQ(Volumes[252].Label, "P251");
  ASSERT_FALSE(Host.Ignored.empty());
  EXPECT_NE(Host.Ignored[0].find(Info + ": only the first 256 sections are read"), std::string::npos);
  EXPECT_EQ(Volumes.back().File, "\\\\192.0.2.1\\share\\a.hc");
}

// An invalid value skips its section and is told once per change of its
// file, not at every re-read; a missing keyfile skips it quietly, as a
// missing container does.
TEST_F(VolumeDefsRefresh, SkippedSectionsAreToldOnce) {
  const std::string Info = WriteInfo(R,
                                     "[BadPim]\r\nPartition=1\r\nPIM=0\r\n[TrueCryptPim]\r\nPartition=3\r\nPIM=7\r\n"
                                     "TrueCrypt=1\r\n[MissingKey]\r\nPartition=4\r\nKeyfiles=\\none.key\r\n"
                                     "[Kept]\r\nPartition=5\r\n[Long]\r\nPartition=8\r\n;" +
                                         std::string(MaxInfoLineBytes, 'x') + "\r\n",
                                     StampA);
  Control.RefreshVolumes();
  EXPECT_EQ(Labels(), std::vector<std::string>{"Kept"});
  Control.SysVolumes.clear();  // read again, unchanged
  Control.RefreshVolumes();
  WriteInfo(R, "[BadPim]\r\nPartition=1\r\nPIM=x\r\n", StampB);
  Control.RefreshVolumes();
  const std::string Pim = ": PIM: must be a whole number from 1 to 2147468";
  EXPECT_EQ(Host.Ignored, (std::vector<std::string>{Info + " [BadPim]" + Pim + "\n" + Info +
                                                        " [TrueCryptPim]: TrueCrypt has no PIM\n" + Info +
                                                        " [Long]: a line is longer than 4096 bytes",
                                                    Info + " [BadPim]" + Pim}));
}

// A container that also gives a partition number is carried over to the new
// container entry only, not to the partition of the same numbers: that left
// two owners of one monitor.
TEST_F(VolumeDefsRefresh, MergeCarriesAnOldEntryOverToOneNewEntryOfItsOwnKind) {
  const std::string Container = Root(F) + "c1.hc";
  Volumes.push_back(
      {.Disk = 3, .Partition = 1, .File = Container, .FileSetModified = 1, .Label = "Old", .MountedLetter = R});
  Volumes[0].Password = "secret";
  Control.StartMonitor(Volumes[0]);
  ASSERT_NE(Volumes[0].Monitor, nullptr);
  const TVolumeChangeMonitor* Monitor = Volumes[0].Monitor.get();
  std::vector<TVolume> NewList;
  NewList.push_back({.Disk = 3, .Partition = 1, .Label = "Partition"});
  NewList.push_back({.Disk = 3, .Partition = 1, .File = Container, .FileSetModified = 1, .Label = "Container"});
  Control.MergeVolumes(NewList, {});
  ASSERT_EQ(Labels(), (std::vector<std::string>{"Partition", "Container"}));
  EXPECT_TRUE(Volumes[0].Monitor == nullptr && Volumes[0].Password.empty());
  EXPECT_EQ(Volumes[1].Monitor.get(), Monitor);
  EXPECT_EQ(Volumes[1].Password.view(), "secret");
}

}  // namespace
