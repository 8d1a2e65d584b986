// The drive scan: when it reports a change, and the choice of a free letter.
#include "VolumeControlFixture.h"

class DriveScanTest : public VolumeControlTest {
 protected:
  bool Scan() {
    TTCMountedVolumeArray MountList;
    return ScanSysVolumes(DrivesOfType(DriveTypeFixed) + DrivesOfType(DriveTypeRemovable) + AppDataMarker,
                          Control.CryptProgram, SysVolumes, MountList);
  }
  TSysVolumeArray SysVolumes;
};

TEST_F(DriveScanTest, ChangesAreReportedOnce) {
  EXPECT_TRUE(Scan());  // the first scan always differs from the empty table
  EXPECT_FALSE(Scan());
  // A new removable drive, even without a ".tcvinfo.ini"; then its
  // ".tcvinfo.ini" appears and is saved again; the per-user file counts too.
  ScratchFolder Folder("stick");
  auto Stick = std::make_unique<TestDrive>(UnusedDriveLetter('D'), Folder.Path(), WineDriveType::Removable);
  const char L = Stick->Letter();
  EXPECT_TRUE(Scan());
  EXPECT_GE(GetVolumeDiskNumber(L), 0);
  EXPECT_FALSE(Scan());
  for (auto [Letter, Stamp] : {std::pair{L, StampA}, {L, StampB}, {AppDataMarker, StampC}}) {
    WriteInfo(Letter, "[V]\r\n", Stamp);
    EXPECT_TRUE(Scan());
    EXPECT_FALSE(Scan());
  }
  Stick.reset();
  EXPECT_TRUE(Scan());
  EXPECT_EQ(GetVolumeDiskNumber(L), -1);
  // Times within a millisecond are the same.
  SysVolumes.back().InfoDate += 0.9 / 86400000.0;
  EXPECT_FALSE(Scan());
  SysVolumes.back().InfoDate -= 2 / 86400000.0;
  EXPECT_TRUE(Scan());
}

TEST_F(DriveScanTest, FreeDriveLetter) {
  ScratchFolder Folder("taken");
  TestDrive Drive(UnusedDriveLetter('E'), Folder.Path());
  const char Taken = Drive.Letter();
  EXPECT_EQ(FindFreeDriveLetter(Taken), UnusedDriveLetter(char(Taken + 1)));  // never the wanted letter itself
  // A blank, A, B or lower case search from C; Z (Wine's root drive) wraps round to C.
  for (char Wanted : {' ', 'A', 'Z', 'e'}) EXPECT_EQ(FindFreeDriveLetter(Wanted), UnusedDriveLetter('C')) << Wanted;
}
