// A stick plugged in: its "Auto" volume is asked for and mounted at once, one
// pass for a burst, also when the arrival comes while a prompt is open; a
// stick pulled out: its volume is dismounted by force and comes back with it;
// a stick's definition file far too large is not read.
#include <gtest/gtest.h>
#include <windows.h>

#include <dbt.h>

#include <memory>

#include "Files.h"
#include "Text.h"
#include "TrayAppRun.h"

namespace {

// A removable drive holding a container and the ".tcvinfo.ini" that defines
// it as the "Auto" volume "Stick" on S: with its own password "pw".
class Stick {
 public:
  Stick() : Letter(UnusedDriveLetter('J')) {
    WriteFileBytes(Folder / "stick.hc", "container");
    WriteFileBytes(Folder / "stick.hc.password", "pw");
    WriteFileBytes(Folder / ".tcvinfo.ini", "[Stick]\r\nFile=\\stick.hc\r\nLetter=S\r\nAuto=1\r\nDefaultPass=0\r\n");
  }
  bool Plug() {
    Drive = std::make_unique<TestDrive>(Letter, Folder.Path(), WineDriveType::Removable);
    return Drive->Mapped();
  }
  void Unplug() { Drive.reset(); }

  ScratchFolder Folder{"stick"};
  const char Letter;

 private:
  std::unique_ptr<TestDrive> Drive;
};

}  // namespace

// Arrivals during a prompt are asked after it.
TEST(TrayAppDrives, ArrivalsGiveOnePassARemovalDismountsByForceTheStickComesBackAndAHugeDefinitionIsNotRead) {
  TrayAppRun App("e2eremoval");
  ASSERT_FALSE(App.StartWithAutoVolume().empty());
  ASSERT_NE(App.WaitForPrompt("Default Password:"), nullptr);
  Stick Stick;
  ASSERT_TRUE(Stick.Plug());
  // Two partitions of one stick: both answered at once, one pass.
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEARRIVAL, Stick.Letter));
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEARRIVAL, Stick.Letter));
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  ASSERT_TRUE(App.AnswerPrompt("Stick Password:", "pw"));
  ASSERT_TRUE(App.WaitForMountCount(2));
  EXPECT_EQ(App.WaitForWindow("InputBox", 1000), nullptr);
  // The stick's volume is the one not on Data's R:, on S: or the next letter
  // when S: is still taken.
  const std::string On = std::string(1, App.Mounts()[App.Mounts()[0].Letter == 'R'].Letter) + ":";
  HWND MountedBalloon = TrayAppRun::WaitForBalloon("Stick (" + On + ")");
  const std::string Mounted = App.CommandLog();
  EXPECT_TRUE(
      Has(Mounted, std::string("/q /s /v ") + Stick.Letter + ":\\stick.hc /l " + On[0] + " /m label=Stick /p pw\n"))
      << Mounted;

  Stick.Unplug();
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEREMOVECOMPLETE, Stick.Letter));
  EXPECT_NE(TrayAppRun::WaitForBalloon("Stick (" + On + "): its drive was removed", MountedBalloon), nullptr);
  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.CommandLog(), Mounted + "/q /s /d " + On[0] + " /f\n");

  // Its definition went with the drive and comes back with it.
  ASSERT_TRUE(Stick.Plug());
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEARRIVAL, Stick.Letter));
  ASSERT_TRUE(App.AnswerPrompt("Stick Password:", "pw"));
  ASSERT_TRUE(App.WaitForMountCount(2)) << App.CommandLog();

  // A stick can do no harm: a definition file far too large is not read, so
  // the tray keeps answering and its memory does not grow with the file.
  Stick.Unplug();
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEREMOVECOMPLETE, Stick.Letter));
  WriteFileBytes(Stick.Folder / ".tcvinfo.ini", std::string(16 << 20, '\n'));
  const SIZE_T Before = App.PeakMemory();
  ASSERT_TRUE(Stick.Plug());
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEARRIVAL, Stick.Letter));
  EXPECT_NE(TrayAppRun::WaitForBalloon(std::string{Stick.Letter} + ":\\.tcvinfo.ini: larger than 64 KiB, not read"),
            nullptr);
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEARRIVAL, Stick.Letter));
  EXPECT_LT(App.PeakMemory(), Before + (SIZE_T(16) << 20));
}

// The stick's partition volume goes with it: its disk, seen at the last
// scan, names it.
TEST(TrayAppDrives, RemovalDismountsTheStickPartitionVolume) {
  ScratchFolder Partitions("e2epartitions");
  WriteFileBytes(Partitions / "Harddisk0-Partition1.password", "pw");
  SetEnvironmentVariableW(L"STANDIN_PARTITIONS", Utf8ToWide(Partitions.Path()).c_str());
  TrayAppRun App("e2elostpartition");
  App.WriteSettings();
  ASSERT_TRUE(App.Start());
  Stick Stick;
  WriteFileBytes(Stick.Folder / ".tcvinfo.ini", "[Part]\r\nPartition=1\r\nLetter=P\r\nAuto=1\r\nDefaultPass=0\r\n");
  ASSERT_TRUE(Stick.Plug());
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEARRIVAL, Stick.Letter));
  ASSERT_TRUE(App.AnswerPrompt("Part Password:", "pw"));
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  // Pulled out at once, perhaps before the mount is seen: the drive's letter
  // may outlast its disk, and the drive may be gone before the tray is told.
  Stick.Unplug();
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEREMOVECOMPLETE, Stick.Letter));
  EXPECT_TRUE(App.WaitForMountCount(0));
  EXPECT_TRUE(Has(App.CommandLog(), "/q /s /d P /f\n")) << App.CommandLog();
  SetEnvironmentVariableW(L"STANDIN_PARTITIONS", nullptr);
}
