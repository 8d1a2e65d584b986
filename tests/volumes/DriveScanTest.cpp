// The drive scan: which drives exist, when a scan reports a change, and the
// choice of a free letter.
#include "VolumeControlFixture.h"

namespace {

using DriveScanTest = VolumeControlTest;

bool Scan() {
  TTCMountedVolumeArray MountList;
  return ScanSysVolumes(DrivesOfType(DriveTypeFixed) + DrivesOfType(DriveTypeRemovable) + AppDataMarker, MountList);
}

const TSysVolume* Scanned(char Letter) {
  for (const TSysVolume& S : SysVolumes)
    if (S.Letter == Letter) return &S;
  return nullptr;
}

TEST_F(DriveScanTest, ChangesAreReportedOnce) {
  EXPECT_TRUE(Scan());  // the first scan always differs from the empty table
  EXPECT_FALSE(Scan());
  EXPECT_EQ(SysVolumes.back().Letter, AppDataMarker);
  EXPECT_EQ(SysVolumes.back().Disk, -1);

  // A new removable drive, even without a ".tcvinfo.ini"; the device is
  // opened for its disk number.
  ScratchFolder Folder("stick");
  auto Stick = std::make_unique<TestDrive>(UnusedDriveLetter('D'), Folder.Path(), WineDriveType::Removable);
  const char L = Stick->Letter();
  EXPECT_TRUE(Scan());
  ASSERT_NE(Scanned(L), nullptr);
  EXPECT_GE(Scanned(L)->Disk, 0);
  EXPECT_EQ(Scanned(L)->InfoDate, 0);
  EXPECT_FALSE(Scan());

  // A ".tcvinfo.ini" appears, then is saved again with a new time; the
  // per-user file counts like a drive's.
  for (auto [Letter, Stamp] : {std::pair{L, StampA}, {L, StampB}, {AppDataMarker, StampC}}) {
    WriteInfo(Letter, "[V]\r\n", Stamp);
    EXPECT_TRUE(Scan());
    EXPECT_EQ(Scanned(Letter)->InfoDate, GetFileDateTime(VolumeConfigFileName(Letter)));
    EXPECT_FALSE(Scan());
  }

  Stick.reset();
  EXPECT_TRUE(Scan());
  EXPECT_EQ(Scanned(L), nullptr);
  EXPECT_EQ(GetVolumeDiskNumber(L), -1);
  EXPECT_EQ(GetVolumePartitionNumber(L), -1);
}

TEST_F(DriveScanTest, TimesWithinAMillisecondAreTheSame) {
  WriteInfo(AppDataMarker, "[U]\r\n", StampA);
  ASSERT_TRUE(Scan());
  const double Ms = 1.0 / 86400000.0;
  SysVolumes.back().InfoDate += 0.9 * Ms;
  EXPECT_FALSE(Scan());
  SysVolumes.back().InfoDate -= 2 * Ms;
  EXPECT_TRUE(Scan());
}

TEST_F(DriveScanTest, FreeDriveLetter) {
  ScratchFolder Folder("taken");
  const char Taken = UnusedDriveLetter('E');
  TestDrive Drive(Taken, Folder.Path());
  ASSERT_TRUE(Drive.Mapped());
  // From the wanted letter on, never the letter itself.
  EXPECT_EQ(FindFreeDriveLetter(char(Taken - 1)), UnusedDriveLetter(Taken));
  EXPECT_EQ(FindFreeDriveLetter(Taken), UnusedDriveLetter(char(Taken + 1)));
  // A blank, A, B or lower case search from C; Z (Wine's root drive) wraps round to C.
  for (char Wanted : {' ', 'A', 'Z', 'e'}) EXPECT_EQ(FindFreeDriveLetter(Wanted), UnusedDriveLetter('C')) << Wanted;
}

} // namespace
