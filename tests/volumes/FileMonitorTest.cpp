// Container monitors on a mapped drive standing for the mounted volume.
#include "Files.h"
#include "FileTimes.h"
#include "VolumeControlFixture.h"
#include "MinDialogs.h"

namespace {
void CreateFileOn(const std::string& Path) { ASSERT_TRUE(::WriteFileBytes(Path, "data")) << Path; }

class FileMonitorTest : public VolumeControlTest {
 public:
  void SetUp() override {
    VolumeControlTest::SetUp();
    CreateFileOn(Container);
    ASSERT_EQ(SetFileDateTime(Container, StampA), 0u);  // as the program left it, long ago
    ASSERT_TRUE(Drive.Mapped());
    Volumes.push_back({.File = Container, .FileSetModified = 1, .Label = "Data", .MountedLetter = Drive.Letter()});
    Control.ProcessVolumes();
    ASSERT_NE(Volumes[0].Monitor, nullptr);
    Pump(300);  // let it arm its watch
  }
  // A refresh has seen the drive go after a dismount was launched.
  void SeeDismounted() {
    Volumes[0].DismountPending = true, Volumes[0].MountedLetter = 0;
    Control.ProcessVolumes();
    EXPECT_EQ(Host.Results, (std::vector<ReportedResult>{{"Data", "Volume Dismounted", true}}));
    EXPECT_EQ(Volumes[0].FileSetModified, 1);
    EXPECT_EQ(Volumes[0].Monitor, nullptr);
  }
  bool Marked() const { return Volumes[0].FileSetModified == 2 && !Volumes[0].Monitor; }

  ScratchFolder Store{"container"}, Inside{"inside"};
  const std::string Container = Store / "a.hc";
  TestDrive Drive{UnusedDriveLetter('M'), Inside.Path()};
};

TEST_F(FileMonitorTest, FirstChangeMarksTheVolumeAndTheDismountStampsTheContainer) {
  EXPECT_EQ(Volumes[0].Monitor->Folder, Drive.Root());
  CreateFileOn(Drive.Root() + "written.txt");
  ASSERT_TRUE(PumpUntil([&] { return Marked(); }));
  EXPECT_EQ(GetFileDateTime(Container), StampA);
  Control.ProcessVolumes();  // further passes while mounted leave the mark for the dismount
  EXPECT_TRUE(Marked());
  SeeDismounted();
  CreateFileOn(Store / "now.txt");
  EXPECT_NEAR(GetFileDateTime(Container), GetFileDateTime(Store / "now.txt"), 3.0 / 86400);
}

TEST_F(FileMonitorTest, NoChangeLeavesTheContainerTimeAlone) {
  SeeDismounted();
  EXPECT_EQ(GetFileDateTime(Container), StampA);
}

TEST_F(FileMonitorTest, NoticeDuringAnInputBoxIsNotLost) {
  // Inside the box's loop the application window answers nothing; the
  // notice still reaches the volume.
  static FileMonitorTest* Test;
  static int Ticks;
  static bool SawMark;
  Test = this, Ticks = 0, SawMark = false;
  const UINT_PTR Timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    const HWND Box = FindWindowW(L"InputBox", nullptr);
    if (!Box) return;
    if (Ticks++ == 0) CreateFileOn(Test->Drive.Root() + "typed.txt");
    if ((SawMark = Test->Marked()) || Ticks > 100) SendMessageW(GetDlgItem(Box, InputBoxCancelId), BM_CLICK, 0, 0);
  });
  SecretText Value;
  InputBox("", "Password:", "", Value, true);
  KillTimer(nullptr, Timer);
  EXPECT_TRUE(SawMark);
}

}  // namespace
