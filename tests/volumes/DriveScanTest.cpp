// The drive scan: which drives exist, when a scan reports a change, and the
// choice of a free letter.
#include "VolumeTestEnv.h"

#include "ConfigFiles.h"
#include "DriveScan.h"
#include "Files.h"
#include "TestSupport.h"
#include "Volume.h"

namespace {

using DriveScanTest = VolumeControlTest;

std::string ScanList() {
  return DrivesOfType(DriveTypeFixed) + DrivesOfType(DriveTypeRemovable) + AppDataMarker;
}

bool Scan() {
  TTCMountedVolumeArray MountList;
  return ScanSysVolumes(ScanList(), MountList);
}

const TSysVolume* Scanned(char Letter) {
  for (const TSysVolume& S : SysVolumes)
    if (S.Letter == Letter) return &S;
  return nullptr;
}

TEST_F(DriveScanTest, DiskQueriesOfMappedAndMissingDrives) {
  // Wine answers the disk query for a mapped drive; a letter without a
  // drive has no disk, nor has the per-user marker.
  ScratchFolder Folder("disk");
  TestDrive Drive(UnusedDriveLetter('D'), Folder.Path());
  EXPECT_GE(GetVolumeDiskNumber(Drive.Letter()), 0);
  const char None = UnusedDriveLetter(char(Drive.Letter() + 1));
  EXPECT_EQ(GetVolumeDiskNumber(None), -1);
  EXPECT_EQ(GetVolumePartitionNumber(None), -1);
  EXPECT_EQ(GetVolumeDiskNumber(AppDataMarker), -1);
}

TEST_F(DriveScanTest, ChangesAreReportedOnce) {
  EXPECT_TRUE(Scan());  // the first scan always differs from the empty table
  EXPECT_FALSE(Scan());
  EXPECT_EQ(SysVolumes.back().Letter, AppDataMarker);
  EXPECT_EQ(SysVolumes.back().Disk, -1);

  // A new removable drive, even without a ".tcvinfo.ini".
  ScratchFolder Folder("stick");
  auto Stick = std::make_unique<TestDrive>(UnusedDriveLetter('D'), Folder.Path(), WineDriveType::Removable);
  const char L = Stick->Letter();
  EXPECT_TRUE(Scan());
  ASSERT_NE(Scanned(L), nullptr);
  EXPECT_EQ(Scanned(L)->InfoDate, 0);
  EXPECT_FALSE(Scan());

  // A ".tcvinfo.ini" appears, then is saved again with a new time.
  WriteInfo(L, "[V]\r\n", StampA);
  EXPECT_TRUE(Scan());
  EXPECT_EQ(Scanned(L)->InfoDate, GetFileDateTime(VolumeConfigFileName(L)));
  EXPECT_FALSE(Scan());
  WriteInfo(L, "[V]\r\n", StampB);
  EXPECT_TRUE(Scan());
  EXPECT_FALSE(Scan());

  // The per-user file counts like a drive's.
  WriteInfo(AppDataMarker, "[U]\r\n", StampC);
  EXPECT_TRUE(Scan());
  EXPECT_NE(SysVolumes.back().InfoDate, 0);

  Stick.reset();
  EXPECT_TRUE(Scan());
  EXPECT_EQ(Scanned(L), nullptr);
}

TEST_F(DriveScanTest, TimesWithinAMillisecondAreTheSame) {
  WriteInfo(AppDataMarker, "[U]\r\n", StampA);
  ASSERT_TRUE(Scan());
  SysVolumes.back().InfoDate += 0.9 / 86400000.0;
  EXPECT_FALSE(Scan());
  SysVolumes.back().InfoDate -= 0.9 / 86400000.0;
  EXPECT_FALSE(Scan());
  SysVolumes.back().InfoDate -= 1.1 / 86400000.0;
  EXPECT_TRUE(Scan());
}

TEST_F(DriveScanTest, FreeDriveLetter) {
  ScratchFolder Folder("taken");
  const char Taken = UnusedDriveLetter('E');
  ASSERT_NE(Taken, 0);
  TestDrive Drive(Taken, Folder.Path());
  auto FirstFreeFrom = [](char From) { return UnusedDriveLetter(From); };

  // From the wanted letter on, never the letter itself.
  EXPECT_EQ(FindFreeDriveLetter(char(Taken - 1)), FirstFreeFrom(Taken));
  EXPECT_NE(FindFreeDriveLetter(Taken), Taken);
  EXPECT_EQ(FindFreeDriveLetter(Taken), FirstFreeFrom(char(Taken + 1)));
  // A blank, A or B search from C; Z (Wine's root drive) wraps round to C.
  EXPECT_EQ(FindFreeDriveLetter(' '), FirstFreeFrom('C'));
  EXPECT_EQ(FindFreeDriveLetter('A'), FirstFreeFrom('C'));
  EXPECT_EQ(FindFreeDriveLetter('Z'), FirstFreeFrom('C'));
  EXPECT_EQ(FindFreeDriveLetter('e'), FirstFreeFrom('C'));
}

} // namespace
