// Container monitors on a mapped drive standing for the mounted volume: the
// first change marks the volume and ends the monitor on the main thread,
// the dismount then stamps the container.
#include "VolumeControlFixture.h"

#include <algorithm>

#include "Files.h"
#include "MinDialogs.h"
#include "TestSupport.h"

namespace {

void CreateFileOn(const std::string& Path) {
  const HANDLE File = CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(File, INVALID_HANDLE_VALUE) << Path;
  DWORD Written = 0;
  WriteFile(File, "data", 4, &Written, nullptr);
  CloseHandle(File);
}

class FileMonitorTest : public VolumeControlTest {
public:
  void SetUp() override {
    VolumeControlTest::SetUp();
    CryptProgramPath = GetParamStr(0);
    CreateFileOn(Container);
    // The container as the encryption program left it, long ago.
    ASSERT_EQ(SetFileDateTime(Container, GetFileDateTime(Container) - 30), 0u);
    LeftAt = GetFileDateTime(Container);
    ASSERT_TRUE(Drive.Mapped());
    TTCVolume Entry;
    Entry.Label = "Data";
    Entry.File = Container;
    Entry.FileSetModified = 1;
    Entry.MountedLetter = Drive.Letter();
    Volumes = {Entry};
  }

  bool Registered(const void* Object) const {
    const std::vector<const void*> Objects = App->RegisteredObjects();
    return std::find(Objects.begin(), Objects.end(), Object) != Objects.end();
  }

  // A refresh has seen the drive go after a dismount was launched.
  void SeeDismounted() {
    Volumes[0].DismountPending = true;
    Volumes[0].MountedLetter = 0;
    ProcessVolumes();
    EXPECT_EQ(Results, (std::vector<VolumeResult>{{0, "Volume Dismounted", true}}));
  }

  bool Marked() const { return Volumes[0].FileSetModified == 2 && !Volumes[0].Monitor; }

  ScratchFolder Store{"container"};
  ScratchFolder Inside{"inside"};
  const std::string Container = Store / "a.hc";
  TestDrive Drive{UnusedDriveLetter('M'), Inside.Path()};
  double LeftAt = 0;
};

}  // namespace

TEST_F(FileMonitorTest, FirstChangeMarksTheVolumeAndTheDismountStampsTheContainer) {
  ProcessVolumes();
  TTCFileMonitor* Monitor = Volumes[0].Monitor;
  ASSERT_NE(Monitor, nullptr);
  EXPECT_EQ(Monitor->Folder, Drive.Root());
  EXPECT_TRUE(Monitor->WatchSubtree);
  EXPECT_TRUE(Monitor->Volume.Password.empty());
  EXPECT_TRUE(Registered(Monitor));

  Pump(300);  // let it arm its watch
  CreateFileOn(Drive.Root() + "written.txt");
  ASSERT_TRUE(PumpUntil([&] { return Marked(); }));
  EXPECT_FALSE(Registered(Monitor));
  EXPECT_TRUE(SameDateTime(GetFileDateTime(Container), LeftAt));

  // Further passes while mounted leave the mark for the dismount.
  ProcessVolumes();
  EXPECT_TRUE(Marked());

  SeeDismounted();
  EXPECT_EQ(Volumes[0].FileSetModified, 1);
  CreateFileOn(Store / "now.txt");
  EXPECT_NEAR(GetFileDateTime(Container), GetFileDateTime(Store / "now.txt"), 3.0 / 86400);
}

TEST_F(FileMonitorTest, NoChangeLeavesTheContainerTimeAlone) {
  ProcessVolumes();
  TTCFileMonitor* Monitor = Volumes[0].Monitor;
  ASSERT_NE(Monitor, nullptr);
  Pump(300);
  SeeDismounted();
  EXPECT_EQ(Volumes[0].FileSetModified, 1);
  EXPECT_EQ(Volumes[0].Monitor, nullptr);
  EXPECT_FALSE(Registered(Monitor));
  EXPECT_TRUE(SameDateTime(GetFileDateTime(Container), LeftAt));
}

TEST_F(FileMonitorTest, NoMonitorWithoutTheKeyOrTheContainer) {
  Volumes[0].FileSetModified = 0;
  ProcessVolumes();
  EXPECT_EQ(Volumes[0].Monitor, nullptr);

  Volumes[0].FileSetModified = 1;
  Volumes[0].File = Store / "missing.hc";
  ProcessVolumes();
  EXPECT_EQ(Volumes[0].Monitor, nullptr);
}

TEST_F(FileMonitorTest, NoticeDuringAnInputBoxIsNotLost) {
  ProcessVolumes();
  ASSERT_NE(Volumes[0].Monitor, nullptr);
  Pump(300);
  // Inside the box's loop the application window answers nothing; the
  // notice still reaches the volume.
  static FileMonitorTest* Test;
  static bool SawMark;
  Test = this;
  SawMark = false;
  const UINT_PTR Timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    static int Ticks = 0;
    const HWND Box = FindWindowW(L"InputBox", nullptr);
    if (!Box) return;
    if (Ticks++ == 0) CreateFileOn(Test->Drive.Root() + "typed.txt");
    if (Test->Marked() || Ticks > 100) {
      SawMark = Test->Marked();
      SendMessageW(GetDlgItem(Box, InputBoxCancelId), BM_CLICK, 0, 0);
    }
  });
  std::string Value;
  InputBox("", "Password:", "", Value, true);
  KillTimer(nullptr, Timer);
  EXPECT_TRUE(SawMark);
}

TEST_F(FileMonitorTest, StoppingAllMonitorsFreesThem) {
  ProcessVolumes();
  TTCFileMonitor* Monitor = Volumes[0].Monitor;
  ASSERT_NE(Monitor, nullptr);
  StopFileMonitors();
  EXPECT_EQ(Volumes[0].Monitor, nullptr);
  EXPECT_FALSE(Registered(Monitor));
  // A change after the stop reaches nobody.
  CreateFileOn(Drive.Root() + "late.txt");
  Pump(300);
  EXPECT_EQ(Volumes[0].FileSetModified, 1);
}
