#include "TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

UINT DriveType(char Letter) { return GetDriveTypeA((std::string(1, Letter) + ":\\").c_str()); }

}  // namespace

TEST(WineDrives, FixedAndRemovableDrivesMapAndUnmap)
{
  ScratchFolder usb("usb"), disk("disk");
  ASSERT_TRUE(WriteTextFile("u", usb / "on-usb.txt"));
  const char removable = UnusedDriveLetter('M'), fixed = UnusedDriveLetter(static_cast<char>(removable + 1));
  ASSERT_TRUE(removable && fixed);
  {
    TestDrive usbDrive(removable, usb.Path(), WineDriveType::Removable);
    TestDrive diskDrive(fixed, disk.Path(), WineDriveType::Fixed);
    ASSERT_TRUE(usbDrive.Mapped() && diskDrive.Mapped());
    EXPECT_EQ(DriveType(removable), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(DriveType(fixed), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(ReadTextFile(usbDrive.Root() + "on-usb.txt"), "u");
    // Written through the drive, found in the folder; the device answers.
    ASSERT_TRUE(WriteTextFile("x", diskDrive.Root() + "inner.txt"));
    EXPECT_EQ(ReadTextFile(disk / "inner.txt"), "x");
    EXPECT_TRUE(DiskQueryAnswered(fixed));
    // Mapping again replaces type and folder.
    ASSERT_TRUE(MapWineDrive(fixed, usb.Path(), WineDriveType::Removable));
    EXPECT_EQ(DriveType(fixed), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(ReadTextFile(diskDrive.Root() + "on-usb.txt"), "u");
  }
  for (char letter : {removable, fixed}) {
    EXPECT_EQ(DriveType(letter), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetFileAttributesA((std::string(1, letter) + ":\\").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  EXPECT_FALSE(MapWineDrive('1', usb.Path(), WineDriveType::Fixed));
  EXPECT_FALSE(MapWineDrive('M', "", WineDriveType::Fixed));
}

TEST(WineDrives, BareLinkIsFixedWithoutADevice)
{
  ScratchFolder folder("link");
  ASSERT_TRUE(WriteTextFile("1", folder / "in.txt"));
  const char linked = UnusedDriveLetter('M');
  ASSERT_TRUE(LinkWineDrive(linked, folder.Path()));
  EXPECT_EQ(DriveType(linked), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(ReadTextFile(std::string(1, linked) + ":\\in.txt"), "1");
  EXPECT_FALSE(DiskQueryAnswered(linked));
  EXPECT_TRUE(UnmapWineDrive(linked));
  EXPECT_EQ(DriveType(linked), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}
