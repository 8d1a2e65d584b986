// The driver's mount list as the stand-in driver answers it.
#include "Files.h"
#include "VolumeControlFixture.h"
#include "MountedQuery.h"
#include "StandinControl.h"

static bool operator==(const TTCMountedVolume& A, const TTCMountedVolume& B) {
  return std::tie(A.Letter, A.Disk, A.Partition, A.Path, A.TrueCryptMode) ==
         std::tie(B.Letter, B.Disk, B.Partition, B.Path, B.TrueCryptMode);
}
static void PrintTo(const TTCMountedVolume& V, std::ostream* Os) {
  *Os << V.Letter << " " << V.Disk << " " << V.Partition << " " << V.Path << " " << V.TrueCryptMode;
}

namespace {
std::string Upper(std::string S) {
  for (char& C : S) C = char(std::toupper(static_cast<unsigned char>(C)));
  return S;
}

class MountedQueryDriver : public VolumeControlTest {
 protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(StartStandinDriver());
    ClearMounts();
    ASSERT_TRUE(::WriteFileBytes(Container, ""));
  }
  void TearDown() override {
    ClearMounts();
    VolumeControlTest::TearDown();
  }
  static void ClearMounts() {
    ClearStandinMounts(StandinDevice::VeraCrypt);
    ClearStandinMounts(StandinDevice::TrueCrypt);
  }
  static TTCMountedVolumeArray Query(bool TrueCrypt, int Level) {
    TTCMountedVolumeArray List;
    EXPECT_TRUE(GetMountedVolumes({"", TrueCrypt, Level}, List));
    return List;
  }

  ScratchFolder Folder{"mounted"};
  const std::string Container = Folder / "Vol.hc";
};

TEST_F(MountedQueryDriver, DeviceAndReplySizePerProgramAndLevel) {
  for (auto [Letter, Name] : {std::pair{'A', std::string("\\Device\\Harddisk1\\Partition2")},
                              {'T', "\\??\\" + Container},
                              {'H', Container},  // no entry for the rest
                              {'E', "\\Device\\HarddiskVolume5"},
                              {'F', "\\??\\" + Folder / "gone.hc"}})
    ASSERT_TRUE(SetStandinMount(StandinDevice::VeraCrypt, Letter, Name, Letter == 'T'));
  ASSERT_TRUE(SetStandinMount(StandinDevice::TrueCrypt, 'K', "\\Device\\Harddisk3\\Partition1", false));
  // VeraCrypt: both reply forms, each with its own flags table. The stand-in
  // refuses any size but the ones its program uses.
  for (int Level : {119, 115, 114}) {
    SCOPED_TRACE(Level);
    EXPECT_EQ(Query(false, Level), (TTCMountedVolumeArray{{'A', 1, 2, "", false},
                                                          {'H', -1, -1, Upper(Container), false},
                                                          {'T', -1, -1, Upper(Container), true}}));
  }
  // TrueCrypt: its own device, 13944 bytes, every entry in TrueCrypt mode.
  EXPECT_EQ(Query(true, 119), (TTCMountedVolumeArray{{'K', 3, 1, "", true}}));
}

TEST_F(MountedQueryDriver, DriveWithoutDiskIsScannedFromTheMountList) {
  // Wine gives its mapped drives a disk number; a letter without a drive
  // has none, as the driver's own drives have none on Windows.
  const char L = UnusedDriveLetter('T');
  const std::string Letters{L, AppDataMarker};
  ASSERT_TRUE(L && SetStandinMount(StandinDevice::VeraCrypt, L, "\\??\\" + Container, false));
  TTCMountedVolumeArray MountList;
  TSysVolumeArray SysVolumes;
  const TCryptProgram Program = Control.CryptProgram;
  EXPECT_TRUE(ScanSysVolumes(Letters, Program, SysVolumes, MountList));
  ASSERT_EQ(SysVolumes.size(), 2u);
  EXPECT_EQ(std::tuple(SysVolumes[0].Disk, SysVolumes[0].Partition, SysVolumes[0].MountedPath),
            std::tuple(-1, -1, Upper(Container)));
  EXPECT_FALSE(ScanSysVolumes(Letters, Program, SysVolumes, MountList = {}));
  ClearStandinMount(StandinDevice::VeraCrypt, L);
  EXPECT_TRUE(ScanSysVolumes(Letters, Program, SysVolumes, MountList = {}));
  EXPECT_TRUE(MountList.empty());
}

}  // namespace
