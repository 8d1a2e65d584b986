// The drive scan: when it reports a change, and the driver's mount list as
// the stand-in driver answers it.
#include "VolumeControlFixture.h"
#include "StandinControl.h"

namespace {
class DriveScanTest : public VolumeControlTest {
 protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(StartStandinDriver() && ClearStandinMounts(StandinDevice::VeraCrypt) &&
                ClearStandinMounts(StandinDevice::TrueCrypt) && ::WriteFileBytes(Container, ""));
  }
  void TearDown() override {
    ClearStandinMounts(StandinDevice::VeraCrypt), ClearStandinMounts(StandinDevice::TrueCrypt);
    VolumeControlTest::TearDown();
  }
  bool Scan(const std::string& Letters) {
    std::vector<TMountedVolume> MountList;
    return ScanSysVolumes(Letters, Control.CryptProgram, SysVolumes, MountList);
  }
  bool Scan() { return Scan(DrivesOfType(DriveTypeFixed) + DrivesOfType(DriveTypeRemovable) + AppDataMarker); }

  std::vector<TSysVolume> SysVolumes;
  ScratchFolder Folder{"mounted"};
  const std::string Container = Folder / "Vol.hc";
  // The driver's names come back in upper case.
  std::string UpperContainer() const { return CharUpperA(std::string(Container).data()); }
};

// A drive's arrival or removal, and a new ".tcvinfo.ini", are in the
// scenarios; a file saved again is a change, to the file system's tick.
TEST_F(DriveScanTest, ChangesAreReportedOnce) {
  EXPECT_TRUE(Scan());  // the first scan always differs from the empty table
  EXPECT_FALSE(Scan());
  for (TFileTicks Stamp : {StampA, StampB}) {
    WriteInfo(AppDataMarker, "[V]\r\n", Stamp);
    EXPECT_TRUE(Scan());
    EXPECT_FALSE(Scan());
  }
  SysVolumes.back().InfoWritten += TFileTicks(1);
  EXPECT_TRUE(Scan());
  EXPECT_FALSE(Scan());
}

TEST_F(DriveScanTest, MountListFromTheDeviceAndReplySizeOfEachProgramAndLevel) {
  for (auto [Letter, Name] : {std::pair{'A', std::string("\\Device\\Harddisk1\\Partition2")},
                              {'T', "\\??\\" + Container},
                              {'H', Container},  // no entry for the rest
                              {'E', "\\Device\\HarddiskVolume5"},
                              {'F', "\\??\\" + Folder / "gone.hc"},
                              {'G', "\\Device\\Harddisk99999999999\\Partition1"},
                              {'I', "\\Device\\Harddisk1\\Partition2x"}})
    ASSERT_TRUE(SetStandinMount(StandinDevice::VeraCrypt, Letter, Name, Letter == 'T'));
  ASSERT_TRUE(SetStandinMount(StandinDevice::TrueCrypt, 'K', "\\Device\\Harddisk3\\Partition1", false));
  // The stand-in refuses any size but the ones its program uses; TrueCrypt's
  // entries are all in TrueCrypt mode.
  using Entries = std::vector<std::tuple<char, int32_t, int32_t, std::string, bool>>;
  for (auto [TrueCrypt, Level] : {std::pair{false, 119}, {false, 115}, {false, 114}, {true, 119}}) {
    SCOPED_TRACE(Level);
    std::vector<TMountedVolume> List;
    EXPECT_TRUE(GetMountedVolumes({"", TrueCrypt, Level}, List));
    Entries Got;
    for (const TMountedVolume& V : List) Got.emplace_back(V.Letter, V.Disk, V.Partition, V.Path, V.TrueCryptMode);
    EXPECT_EQ(Got, (TrueCrypt ? Entries{{'K', 3, 1, "", true}}
                              : Entries{{'A', 1, 2, "", false},
                                        {'H', -1, -1, UpperContainer(), false},
                                        {'T', -1, -1, UpperContainer(), true}}));
  }
}

}  // namespace
