// Reading the ".tcvinfo.ini" files into Volumes, and what a refresh keeps and reports.
#include "Files.h"
#include "FileTimes.h"
#include "Folders.h"
#include "VolumeControlFixture.h"

#include <cstdio>

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
  const TTCVolume& ByLabel(const std::string& Label) const {
    for (const TTCVolume& V : Volumes)
      if (V.Label == Label) return V;
    ADD_FAILURE() << "no volume " << Label;
    return Volumes.at(0);
  }

  ScratchFolder RemovableFolder{"removable"}, FixedFolder{"fixed"};
  TestDrive Removable{UnusedDriveLetter('D'), RemovableFolder.Path(), WineDriveType::Removable};
  TestDrive Fixed{UnusedDriveLetter(char(Removable.Letter() + 1)), FixedFolder.Path()};
  const char R = Removable.Letter(), F = Fixed.Letter();
};

TEST_F(VolumeDefsRefresh, FixedBeforeRemovableBeforeUserAndFirstEnabledDefinitionWins) {
  const std::string Lower = std::string(1, char(F + 32)) + ":\\c1.hc", Upper = Root(F) + "C1.HC";
  // Wine gives every mapped drive the same disk, so the partitions of both
  // drives can be the same volume.
  const std::string Disk = std::to_string(GetVolumeDiskNumber(R));
  ASSERT_EQ(GetVolumeDiskNumber(F), GetVolumeDiskNumber(R));
  const std::string Info = WriteInfo(R, "[RemSame]\r\nFile=" + Upper +
                                            "\r\n[RemOnly]\r\nFile=\\r.hc\r\n[RemPart]\r\n"
                                            "Partition=1\r\n[RemOff]\r\nPartition=2\r\nEnabled=0\r\n");
  ASSERT_EQ(SetFileAttr(Info, FILE_ATTRIBUTE_READONLY), 0u);
  WriteInfo(F, "[FixOff]\r\nFile=\\c1.hc\r\nEnabled=0\r\n[FixSame]\r\nFile=" + Lower + "\r\n[FixPart]\r\nDisk=" + Disk +
                   "\r\nPartition=1\r\n");
  WriteInfo(AppDataMarker, "[UserSame]\r\nFile=" + Upper +
                               "\r\n[Relative]\r\nFile=\\r.hc\r\n"  // needs a full path
                               "[UserNew]\r\nDisk=" +
                               Disk + "\r\nPartition=2\r\n");
  Control.RefreshVolumes();
  ASSERT_EQ(Labels(), (std::vector<std::string>{"FixSame", "FixPart", "RemOnly", "UserNew"}));
  EXPECT_EQ(Volumes[0].File, Lower);
  EXPECT_EQ(Volumes[2].File, Root(R) + "r.hc");
  EXPECT_EQ(Volumes[3].InfoDrive, AppDataMarker);
  for (std::size_t I = 0; I < Volumes.size(); ++I) EXPECT_EQ(Volumes[I].Index, int32_t(I));
  // Files that were read are hidden, their other attributes kept.
  EXPECT_EQ(GetFileAttr(Info) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(GetFileAttr(VolumeConfigFileName(AppDataMarker)) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(VolumeDefsRefresh, KeyValuesAndMissingContainers) {
  WriteInfo(R,
            "[Sentinel]\r\nPartition=3\r\nDisk=2147483647\r\n"
            "[Given]\r\npartition=4\r\nDISK=" +
                std::to_string(GetVolumeDiskNumber(R)) +
                "\r\nLetter=T\r\nauto=TRUE\r\nFileSetModified=1\r\n"
                "[LowerLetter]\r\nFile=Vault\\a.hc\r\nLetter=e:\r\nFileSetModified=1\r\n"
                "[EmptyLetter]\r\nPartition=6\r\nLetter=\r\n"
                "[Missing]\r\nFile=\\Vault\\missing.hc\r\n");
  ASSERT_TRUE(ForceDirsEx(Root(R) + "Vault") && ::WriteFileBytes(Root(R) + "Vault\\a.hc", ""));
  Control.RefreshVolumes();
  ASSERT_EQ(Labels(), (std::vector<std::string>{"Sentinel", "Given", "LowerLetter", "EmptyLetter"}));
  EXPECT_EQ(ByLabel("Sentinel").Disk, GetVolumeDiskNumber(R));
  const TTCVolume& G = ByLabel("Given");  // keys in any case; "FileSetModified" needs a container file
  EXPECT_EQ(std::tuple(G.Disk, G.Partition, G.Letter, G.Auto, G.FileSetModified),
            std::tuple(GetVolumeDiskNumber(R), 4, 'T', true, 0));
  EXPECT_EQ(std::pair(ByLabel("LowerLetter").File, ByLabel("LowerLetter").FileSetModified),
            std::pair(Root(R) + "Vault\\a.hc", uint8_t(1)));
  EXPECT_EQ(std::pair(ByLabel("LowerLetter").Letter, ByLabel("EmptyLetter").Letter), std::pair('E', ' '));
}

TEST_F(VolumeDefsRefresh, SettingsFileChangeRebuildsMenusWithoutRereading) {
  ASSERT_TRUE(ForceDirsEx(UserConfigDir()));
  auto WriteSettings = [](const std::string& Text, double Stamp) {
    ASSERT_TRUE(::WriteFileBytes(UserSettings(), Text));
    ASSERT_EQ(SetFileDateTime(UserSettings(), Stamp), 0u);
  };
  WriteSettings("[Common]\r\n", StampA);
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\n", StampA);
  Control.RefreshVolumes();
  Control.RefreshVolumes();
  EXPECT_EQ(Host.Changes, std::vector<bool>{true});
  // The ".tcvinfo.ini" changes but keeps its time: only the settings count.
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\n[Two]\r\nPartition=1\r\n", StampA);
  WriteSettings("[Common]\r\nIcon=1\r\n", StampB);
  Control.RefreshVolumes();
  EXPECT_EQ(Host.Changes, (std::vector<bool>{true, true}));
  EXPECT_EQ(Labels(), std::vector<std::string>{"One"});
}

TEST_F(VolumeDefsRefresh, RuntimeStateSurvivesReread) {
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\nAuto=1\r\nFileSetModified=1\r\n[Part]\r\nPartition=1\r\n", StampA);
  Control.RefreshVolumes();
  ASSERT_EQ(Volumes.size(), 2u);
  TTCVolume& Old = Volumes[0];
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
  const TTCVolume& One = Volumes[1];
  EXPECT_EQ(
      std::tuple(One.Index, std::string(One.Password.view()), One.State, One.Auto, One.Deadline, One.FileSetModified),
      std::tuple(1, std::string("secret"), TVolumeState::Mounting, false, uint64_t(900), 2));
  EXPECT_TRUE(Volumes[2].State == TVolumeState::Dismounting && Volumes[2].Auto);
  EXPECT_FALSE(Volumes[0].Auto || Volumes[0].State != TVolumeState::Idle);
}

// A stick's file comes from whoever wrote the stick: what it names off the
// stick is skipped without a look (a network path would send the user's
// credentials to its host, and a dead host would stall the tray), and only
// its first 256 sections count.
TEST_F(VolumeDefsRefresh, AStickNamesOnlyItselfAndAtMost256Sections) {
  ASSERT_TRUE(::WriteFileBytes(Root(R) + "own.hc", ""));
  std::string Text =
      "[Network]\r\nFile=\\\\192.0.2.1\\share\\a.hc\r\nAuto=1\r\n"
      "[Slashes]\r\nFile=//192.0.2.1/share/a.hc\r\nAuto=1\r\n"
      "[Device]\r\nFile=\\\\?\\" +
      Root(F) +
      "c1.hc\r\nAuto=1\r\n"
      "[OtherDrive]\r\nFile=" +
      Root(F) +
      "c1.hc\r\nAuto=1\r\n"
      "[OtherDisk]\r\nDisk=" +
      std::to_string(GetVolumeDiskNumber(R) + 7) +
      "\r\nPartition=1\r\nAuto=1\r\n"
      "[Own]\r\nFile=\\own.hc\r\n";
  for (int I = 0; I < 300; ++I) Text += "[P" + std::to_string(I) + "]\r\nPartition=" + std::to_string(I + 1) + "\r\n";
  const std::string Info = WriteInfo(R, Text);
  const DWORD Start = GetTickCount();
  Control.RefreshVolumes();
  std::printf("refresh of the hostile file: %lu ms\n", GetTickCount() - Start);
  ASSERT_EQ(Volumes.size(), 256u - 5);
  EXPECT_EQ(Volumes[0].Label, "Own");
  EXPECT_EQ(Volumes.back().Label, "P249");
  ASSERT_FALSE(Host.Ignored.empty());
  EXPECT_NE(Host.Ignored.back().find(Info + ": only the first 256 sections are read"), std::string::npos);
  Control.ProcessVolumes();
  EXPECT_TRUE(Host.Prompts.empty());
  // The user's own file may name a share; it is not looked at either.
  WriteInfo(AppDataMarker, "[Share]\r\nFile=\\\\192.0.2.1\\share\\a.hc\r\n");
  Control.SysVolumes.clear();
  Control.RefreshVolumes();
  EXPECT_EQ(Volumes.back().File, "\\\\192.0.2.1\\share\\a.hc");
}

// Keyfiles, PIM and the mount options are read. An invalid value skips its
// section and is told once per change of its file, not at every re-read; a
// missing keyfile skips it quietly, as a missing container does.
TEST_F(VolumeDefsRefresh, KeyfilesPimAndOptionsWithSkippedSectionsToldOnce) {
  ASSERT_TRUE(ForceDirsEx(Root(R) + "keys") && ::WriteFileBytes(Root(R) + "keys\\a.key", "") &&
              ::WriteFileBytes(Root(F) + "f.key", ""));
  const std::string Info =
      WriteInfo(R,
                "[Keys]\r\nFile=\\r.hc\r\nKeyfiles=keys\\a.key; \\keys\\A.key\r\nPIM=500\r\nReadOnly=1\r\n"
                "Removable=1\r\nNoPassword=1\r\n"
                "[BadPim]\r\nPartition=1\r\nPIM=5x\r\n"
                "[OtherDriveKey]\r\nPartition=2\r\nKeyfiles=" +
                    Root(F) +
                    "f.key\r\n"
                    "[TrueCryptPim]\r\nPartition=3\r\nPIM=7\r\nTrueCrypt=1\r\n"
                    "[MissingKey]\r\nPartition=4\r\nKeyfiles=\\keys\\none.key\r\n"
                    "[Plain]\r\nPartition=5\r\n"
                    "[Long]\r\nPartition=8\r\n;" +
                    std::string(MaxInfoLineBytes, 'x') + "\r\n",
                StampA);
  Control.RefreshVolumes();
  ASSERT_EQ(Labels(), (std::vector<std::string>{"Keys", "Plain"}));
  const TTCVolume& K = ByLabel("Keys");
  EXPECT_EQ(K.Options.Keyfiles, (std::vector<std::string>{Root(R) + "keys\\a.key", Root(R) + "keys\\A.key"}));
  EXPECT_EQ(std::tuple(K.Options.Pim, K.Options.ReadOnly, K.Options.Removable, K.NoPassword),
            std::tuple(500, true, true, true));
  const TTCVolume& P = ByLabel("Plain");
  EXPECT_EQ(std::tuple(P.Options.Keyfiles.size(), P.Options.Pim, P.Options.ReadOnly, P.Options.Removable, P.NoPassword),
            std::tuple(0u, 0, false, false, false));
  EXPECT_EQ(Host.Ignored,
            std::vector<std::string>{Info + " [BadPim]: PIM: must be a whole number from 1 to 2147468\n" + Info +
                                     " [OtherDriveKey]: Keyfiles: another drive is not this drive\n" + Info +
                                     " [TrueCryptPim]: TrueCrypt has no PIM\n" + Info +
                                     " [Long]: a line is longer than 4096 bytes"});

  Control.SysVolumes.clear();  // read again, unchanged
  Control.RefreshVolumes();
  EXPECT_EQ(Host.Ignored.size(), 1u);
  WriteInfo(R, "[BadPim]\r\nPartition=1\r\nPIM=0\r\n", StampB);
  Control.RefreshVolumes();
  ASSERT_EQ(Host.Ignored.size(), 2u);
  EXPECT_EQ(Host.Ignored[1], Info + " [BadPim]: PIM: must be a whole number from 1 to 2147468");

  // TrueCrypt as the program: no section with a PIM.
  Control.CryptProgram.IsTrueCrypt = true;
  const std::string UserInfo = WriteInfo(AppDataMarker, "[Pim]\r\nFile=" + Root(R) + "r.hc\r\nPIM=9\r\n");
  Control.RefreshVolumes();
  EXPECT_TRUE(Labels().empty());
  ASSERT_EQ(Host.Ignored.size(), 3u);
  EXPECT_EQ(Host.Ignored[2], UserInfo + " [Pim]: TrueCrypt has no PIM");
}

// A container that also gives a partition number is carried over to the
// new container entry only: lending its state (and its monitor, which the
// partition entry would then free) to the partition of the same numbers
// left two owners of one monitor.
TEST_F(VolumeDefsRefresh, MergeCarriesAnOldEntryOverToOneNewEntryOfItsOwnKind) {
  const std::string Container = Root(F) + "c1.hc";
  Volumes.push_back(
      {.Disk = 3, .Partition = 1, .File = Container, .FileSetModified = 1, .Label = "Old", .MountedLetter = R});
  Volumes[0].Password = "secret";
  Control.StartMonitor(Volumes[0]);
  ASSERT_NE(Volumes[0].Monitor, nullptr);
  const TTCFileMonitor* Monitor = Volumes[0].Monitor.get();
  TTCVolumesArray NewList;
  NewList.push_back({.Disk = 3, .Partition = 1, .Label = "Partition"});
  NewList.push_back({.Disk = 3, .Partition = 1, .File = Container, .FileSetModified = 1, .Label = "Container"});
  Control.MergeVolumes(NewList, {});
  ASSERT_EQ(Labels(), (std::vector<std::string>{"Partition", "Container"}));
  EXPECT_TRUE(Volumes[0].Monitor == nullptr && Volumes[0].Password.empty());
  EXPECT_EQ(Volumes[1].Monitor.get(), Monitor);
  EXPECT_EQ(Volumes[1].Password.view(), "secret");
}

}  // namespace

// The settings file is made from its template at start-up; one that exists
// must never be overwritten.
TEST_F(VolumeControlTest, SettingsFileFromTemplateNeverReplacesAnExistingOne) {
  ScratchFolder Folder("template");
  const std::string Name = ProgramName + "Template.ini", Template = GetProgramFolder() + Name;
  EXPECT_TRUE(CreateFileFromTemplate(Name, Folder / "a.ini", "[Common]\r\n"));
  EXPECT_EQ(ReadTextFile(Folder / "a.ini"), "[Common]\r\n");
  ASSERT_TRUE(::WriteFileBytes(Template, "[Common]\r\nIcon=1\r\n"));
  EXPECT_TRUE(CreateFileFromTemplate(Name, Folder / "b.ini", "text"));
  EXPECT_FALSE(CreateFileFromTemplate(Name, Folder / "a.ini", "other"));
  FileDelete(Template);
  EXPECT_EQ(ReadTextFile(Folder / "b.ini"), "[Common]\r\nIcon=1\r\n");
  EXPECT_EQ(ReadTextFile(Folder / "a.ini"), "[Common]\r\n");
  EXPECT_FALSE(CreateFileFromTemplate(Name, Folder / "missing\\c.ini", "x"));
  EXPECT_FALSE(DirExistsEx(Folder / "missing"));
}
