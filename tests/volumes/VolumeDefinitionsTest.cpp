// Reading the ".tcvinfo.ini" files of the drives and of the user into
// Volumes, and what a refresh keeps, re-reads and reports.
#include "VolumeControlFixture.h"

#include <stdexcept>

namespace {

std::vector<std::string> Labels() {
  std::vector<std::string> Result;
  for (const TTCVolume& V : Volumes) Result.push_back(V.Label);
  return Result;
}

const TTCVolume& ByLabel(const std::string& Label) {
  for (const TTCVolume& V : Volumes)
    if (V.Label == Label) return V;
  throw std::runtime_error("no volume " + Label);
}

std::string Root(char Letter) { return std::string{Letter, ':', '\\'}; }

// A removable drive R and, on a later letter, a fixed one F, each with a container.
class VolumeDefsRefresh : public VolumeControlTest {
protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(Removable.Mapped() && Fixed.Mapped());
    ASSERT_TRUE(::WriteTextFile("", Root(F) + "c1.hc", false));
    ASSERT_TRUE(::WriteTextFile("", Root(R) + "r.hc", false));
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

TEST_F(VolumeDefsRefresh, FixedBeforeRemovableBeforeUserAndFirstEnabledDefinitionWins) {
  const std::string Lower = std::string(1, char(F + 32)) + ":\\c1.hc", Upper = Root(F) + "C1.HC";
  WriteInfo(R, "[RemSame]\r\nFile=" + Upper + "\r\n[RemOnly]\r\nFile=\\r.hc\r\n[RemPart]\r\nDisk=3\r\nPartition=1\r\n"
               "[RemOff]\r\nDisk=3\r\nPartition=2\r\nEnabled=0\r\n");
  WriteInfo(F, "[FixOff]\r\nFile=\\c1.hc\r\nEnabled=0\r\n[FixSame]\r\nFile=" + Lower +
               "\r\n[FixPart]\r\nDisk=3\r\nPartition=1\r\n[FixFalse]\r\nPartition=9\r\nEnabled=false\r\n");
  WriteInfo(AppDataMarker, "[UserSame]\r\nFile=" + Upper + "\r\n[UserOnly]\r\nFile=" + Root(R) + "R.HC\r\n"
                           "[UserNew]\r\nDisk=3\r\nPartition=2\r\n");
  RefreshVolumes();
  ASSERT_EQ(Labels(), (std::vector<std::string>{"FixSame", "FixPart", "RemOnly", "UserNew"}));
  EXPECT_EQ(Volumes[0].InfoDrive, F);
  EXPECT_EQ(Volumes[0].File, Lower);
  EXPECT_EQ(Volumes[2].InfoDrive, R);
  EXPECT_EQ(Volumes[2].File, Root(R) + "r.hc");
  EXPECT_EQ(Volumes[3].InfoDrive, AppDataMarker);
  for (std::size_t I = 0; I < Volumes.size(); ++I) EXPECT_EQ(Volumes[I].Index, int32_t(I));
}

TEST_F(VolumeDefsRefresh, KeyValues) {
  WriteInfo(R, "[Defaults]\r\nPartition=2\r\n"
               "[Sentinel]\r\nPartition=3\r\nDisk=2147483647\r\n"
               "[Given]\r\npartition=4\r\nDISK=5\r\nLetter=T\r\nauto=TRUE\r\nDefaultPass=0\r\nTrueCrypt=1\r\n"
               "DismountIfInet=1\r\nFileSetModified=1\r\n"
               "[LowerLetter]\r\nFile=Vault\\a.hc\r\nLetter=e\r\nFileSetModified=1\r\n"
               "[TwoLetters]\r\nPartition=5\r\nLetter=EF\r\n"
               "[EmptyLetter]\r\nPartition=6\r\nLetter=\r\n"
               "[Missing]\r\nFile=\\Vault\\missing.hc\r\n");
  ASSERT_TRUE(ForceDirsEx(Root(R) + "Vault"));
  ASSERT_TRUE(::WriteTextFile("", Root(R) + "Vault\\a.hc", false));
  RefreshVolumes();

  // The section of a missing container is left out.
  ASSERT_EQ(Labels(), (std::vector<std::string>{"Defaults", "Sentinel", "Given", "LowerLetter", "TwoLetters",
                                                "EmptyLetter"}));
  const int32_t DriveDisk = GetVolumeDiskNumber(R);
  const TTCVolume& D = ByLabel("Defaults");
  EXPECT_EQ(D.Disk, DriveDisk);
  EXPECT_FALSE(D.Auto || D.TrueCrypt || D.DismountIfInet || D.FileSetModified || !D.DefaultPass);
  EXPECT_EQ(ByLabel("Sentinel").Disk, DriveDisk);
  const TTCVolume& G = ByLabel("Given");
  EXPECT_EQ(G.Disk, 5);
  EXPECT_EQ(G.Partition, 4);
  EXPECT_EQ(G.Letter, 'T');
  EXPECT_TRUE(G.Auto && G.TrueCrypt && G.DismountIfInet && !G.DefaultPass);
  EXPECT_EQ(G.FileSetModified, 0);  // no container file
  const TTCVolume& L = ByLabel("LowerLetter");
  EXPECT_EQ(L.File, Root(R) + "Vault\\a.hc");
  EXPECT_EQ(L.FileSetModified, 1);
  for (const char* Blank : {"Defaults", "LowerLetter", "TwoLetters", "EmptyLetter"})
    EXPECT_EQ(ByLabel(Blank).Letter, ' ') << Blank;
}

TEST_F(VolumeDefsRefresh, UserFileNeedsFullPathsAndReadFilesBecomeHidden) {
  WriteInfo(AppDataMarker, "[Relative]\r\nFile=\\c1.hc\r\n[Full]\r\nFile=" + Root(F) + "c1.hc\r\n"
                           "[UserPart]\r\nPartition=1\r\n");
  const std::string Info = WriteInfo(R, "[RemOnly]\r\nFile=\\r.hc\r\n");
  ASSERT_EQ(SetFileAttr(Info, FILE_ATTRIBUTE_READONLY), 0u);
  RefreshVolumes();
  EXPECT_EQ(Labels(), (std::vector<std::string>{"RemOnly", "Full", "UserPart"}));
  EXPECT_EQ(ByLabel("UserPart").Disk, -1);
  EXPECT_EQ(GetFileAttr(Info) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(GetFileAttr(VolumeConfigFileName(AppDataMarker)) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(VolumeDefsRefresh, SettingsFileChangeRebuildsMenusWithoutRereading) {
  int Rebuilds = 0;
  bool FlagSeen = false;
  RebuildMenusHook = [&] {
    ++Rebuilds;
    FlagSeen = AppFlags & afSettingsChanged;
  };
  ASSERT_TRUE(ForceDirsEx(UserConfigDir()));
  auto WriteSettings = [](const std::string& Text, double Stamp) {
    ASSERT_TRUE(::WriteTextFile(Text, UserSettings(), false));
    ASSERT_EQ(SetFileDateTime(UserSettings(), Stamp), 0u);
  };
  WriteSettings("[Common]\r\n", StampA);
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\n", StampA);
  RefreshVolumes();
  RefreshVolumes();
  EXPECT_EQ(Rebuilds, 1);
  EXPECT_EQ(SettingsFileDate, GetFileDateTime(UserSettings()));

  // The ".tcvinfo.ini" changes but keeps its time: only the settings count.
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\n[Two]\r\nPartition=1\r\n", StampA);
  WriteSettings("[Common]\r\nIcon=1\r\n", StampB);
  FlagSeen = false;
  RefreshVolumes();
  EXPECT_EQ(Rebuilds, 2);
  EXPECT_TRUE(FlagSeen);
  EXPECT_FALSE(AppFlags & afSettingsChanged);
  EXPECT_EQ(Labels(), std::vector<std::string>{"One"});

  // A missing settings file counts as time 0: a change too.
  FileDelete(UserSettings());
  RefreshVolumes();
  EXPECT_EQ(Rebuilds, 3);
  EXPECT_EQ(SettingsFileDate, 0);
}

TEST_F(VolumeDefsRefresh, RuntimeStateSurvivesRereadAndASwitchedOffMarkStamps) {
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\nAuto=1\r\nFileSetModified=1\r\n[Part]\r\nDisk=2\r\nPartition=1\r\n", StampA);
  RefreshVolumes();
  ASSERT_EQ(Volumes.size(), 2u);
  Volumes[0].Password = "secret";
  Volumes[0].MountPending = true;
  Volumes[0].PendingTime = 900;
  Volumes[0].Auto = false;
  Volumes[0].FileSetModified = 2;  // a change was seen inside
  Volumes[1].DismountPending = Volumes[1].Auto = true;

  // Edited: a new section first, "Auto" switched, the path in other case.
  WriteInfo(F, "[New]\r\nPartition=7\r\n[One renamed]\r\nFile=\\C1.HC\r\nAuto=1\r\nFileSetModified=1\r\n"
               "[Part]\r\nDisk=2\r\nPartition=1\r\nAuto=0\r\n", StampB);
  RefreshVolumes();
  ASSERT_EQ(Labels(), (std::vector<std::string>{"New", "One renamed", "Part"}));
  const TTCVolume& One = Volumes[1];
  EXPECT_EQ(One.Index, 1);
  EXPECT_EQ(One.Password, "secret");
  EXPECT_TRUE(One.MountPending && !One.Auto);
  EXPECT_EQ(One.PendingTime, 900u);
  EXPECT_EQ(One.FileSetModified, 2);
  EXPECT_TRUE(Volumes[2].DismountPending && Volumes[2].Auto);
  EXPECT_FALSE(Volumes[0].Auto || Volumes[0].MountPending);

  // "FileSetModified" switched off after a change was seen: the container is stamped now.
  ASSERT_EQ(SetFileDateTime(Root(F) + "c1.hc", StampA), 0u);
  WriteInfo(F, "[One]\r\nFile=\\c1.hc\r\nFileSetModified=0\r\n", StampC);
  RefreshVolumes();
  EXPECT_EQ(Volumes.at(0).FileSetModified, 0);
  EXPECT_GT(GetFileDateTime(Root(F) + "c1.hc"), StampC);
}

} // namespace
