// Container monitors on a mapped drive standing for the mounted volume.
#include "VolumeControlFixture.h"

namespace {
void CreateFileOn(const std::string& Path) { ASSERT_TRUE(::WriteFileBytes(Path, "data")) << Path; }

class FileMonitorTest : public VolumeControlTest {
 public:
  void SetUp() override {
    VolumeControlTest::SetUp();
    CreateFileOn(Container);
    ASSERT_EQ(SetLastWrite(Container, StampA), 0u);  // as the program left it, long ago
    ASSERT_TRUE(Drive.Mapped());
    TVolume& V = Volumes.emplace_back();
    V.File = Container, V.FileSetModified = 1, V.Label = "Data", V.MountedLetter = Drive.Letter();
    Control.ProcessVolumes();
    ASSERT_NE(Volumes[0].Monitor, nullptr);
    PumpUntil([] { return false; }, 300);  // let it arm its watch
  }
  // A refresh has seen the drive go after a dismount was launched.
  void SeeDismounted() {
    Volumes[0].State = TVolumeState::Dismounting, Volumes[0].MountedLetter = 0;
    Control.ProcessVolumes();
    EXPECT_EQ(Host.Results, std::vector<std::string>{"Data: Volume Dismounted"});
    EXPECT_EQ(Volumes[0].FileSetModified, 1);
    EXPECT_EQ(Volumes[0].Monitor, nullptr);
  }
  bool Marked() const { return Volumes[0].FileSetModified == 2 && !Volumes[0].Monitor; }

  ScratchFolder Store{"container"}, Inside{"inside"};
  const std::string Container = Store / "a.hc";
  TestDrive Drive{UnusedDriveLetter('M'), Inside.Path()};
};

TEST_F(FileMonitorTest, FirstChangeMarksTheVolumeAndTheDismountStampsTheContainer) {
  EXPECT_EQ(Volumes[0].Monitor->Folder(), Drive.Root());
  CreateFileOn(Drive.Root() + "written.txt");
  ASSERT_TRUE(PumpUntil([&] { return Marked(); }));
  EXPECT_EQ(GetLastWrite(Container), StampA);
  Control.ProcessVolumes();  // further passes while mounted leave the mark for the dismount
  EXPECT_TRUE(Marked());
  SeeDismounted();
  CreateFileOn(Store / "now.txt");
  // The host's file times may lag the clock a little.
  EXPECT_LT(std::chrono::abs(GetLastWrite(Container) - GetLastWrite(Store / "now.txt")), std::chrono::seconds(3));
}

}  // namespace
