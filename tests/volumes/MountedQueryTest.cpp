// The driver's mount list as the stand-in driver answers it, and the two
// look-ups on it.
#include "VolumeControlFixture.h"

#include <algorithm>

#include "MountedQuery.h"
#include "StandinControl.h"

static bool operator==(const TTCMountedVolume& A, const TTCMountedVolume& B) {
  return A.Letter == B.Letter && A.Disk == B.Disk && A.Partition == B.Partition && A.Path == B.Path &&
         A.TrueCryptMode == B.TrueCryptMode;
}
static void PrintTo(const TTCMountedVolume& V, std::ostream* Os) {
  *Os << "{" << V.Letter << ", " << V.Disk << ", " << V.Partition << ", \"" << V.Path << "\", " << V.TrueCryptMode << "}";
}

namespace {

std::string Upper(std::string S) {
  std::transform(S.begin(), S.end(), S.begin(), [](unsigned char C) { return char(std::toupper(C)); });
  return S;
}

class MountedQueryDriver : public VolumeControlTest {
protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(StartStandinDriver());
    TearDownMounts();
    ASSERT_TRUE(::WriteTextFile("", Container, false));
  }
  void TearDown() override {
    TearDownMounts();
    VolumeControlTest::TearDown();
  }
  static void TearDownMounts() {
    ClearStandinMounts(StandinDevice::VeraCrypt);
    ClearStandinMounts(StandinDevice::TrueCrypt);
  }
  static TTCMountedVolumeArray Query(bool TrueCrypt, int Level) {
    CryptIsTrueCrypt = TrueCrypt;
    CryptVersionLevel = Level;
    TTCMountedVolumeArray List;
    EXPECT_TRUE(GetMountedVolumes(List));
    return List;
  }

  ScratchFolder Folder{"mounted"};
  const std::string Container = Folder / "Vol.hc";
};

TEST_F(MountedQueryDriver, DeviceAndReplySizePerProgramAndLevel) {
  for (auto [Letter, Name] : {std::pair{'A', std::string("\\Device\\Harddisk1\\Partition2")},
                              {'T', "\\??\\" + Container}, {'H', Container},  // no entry for the rest
                              {'E', "\\Device\\HarddiskVolume5"}, {'F', "\\??\\" + Folder / "gone.hc"},
                              {'G', "\\Device\\Harddisk2"}})
    ASSERT_TRUE(SetStandinMount(StandinDevice::VeraCrypt, Letter, Name, Letter == 'T'));
  ASSERT_TRUE(SetStandinMount(StandinDevice::TrueCrypt, 'K', "\\Device\\Harddisk3\\Partition1", false));

  // VeraCrypt: both reply forms, each with its own flags table. The stand-in
  // refuses any size but the ones its program uses.
  for (int Level : {119, 115, 114, 0}) {
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
  const char L = UnusedDriveLetter('T'), Other = UnusedDriveLetter(char(L + 1));
  ASSERT_TRUE(L && Other);
  const std::string Letters{L, Other, AppDataMarker};
  ASSERT_TRUE(SetStandinMount(StandinDevice::VeraCrypt, L, "\\??\\" + Container, false));
  TTCMountedVolumeArray MountList;
  EXPECT_TRUE(ScanSysVolumes(Letters, MountList));
  ASSERT_EQ(SysVolumes.size(), 3u);
  EXPECT_EQ(std::tuple(SysVolumes[0].Disk, SysVolumes[0].Partition, SysVolumes[0].MountedPath),
            std::tuple(-1, -1, Upper(Container)));
  EXPECT_EQ(std::tuple(SysVolumes[1].Disk, SysVolumes[1].Partition, SysVolumes[1].MountedPath),
            std::tuple(-1, 0, std::string()));
  EXPECT_FALSE(ScanSysVolumes(Letters, MountList = {}));
  ClearStandinMount(StandinDevice::VeraCrypt, L);
  EXPECT_TRUE(ScanSysVolumes(Letters, MountList = {}));
  EXPECT_TRUE(MountList.empty());
}

TEST(MountedQueryLookUps, ByLetterAndByIdentity) {
  TTCMountedVolumeArray List = {{'E', 1, 2, "", false}, {'T', -1, -1, "C:\\VOL\\A.HC", false}, {'U', 1, 2, "", true}};
  const TTCMountedVolume* Entry = nullptr;
  ASSERT_TRUE(FindMountedByLetter('T', Entry, List));
  EXPECT_EQ(Entry, &List[1]);
  EXPECT_FALSE(FindMountedByLetter('F', Entry, List));
  EXPECT_EQ(Entry, nullptr);

  char Letter = 'X';
  EXPECT_TRUE(FindMountedVolume(0, 0, "c:\\vol\\a.hc", Letter, List));
  EXPECT_EQ(Letter, 'T');
  // A container entry matches by its path only.
  EXPECT_FALSE(FindMountedVolume(-1, -1, "", Letter, List));
  EXPECT_EQ(Letter, 0);
  // A partition entry matches by disk and partition, whatever File says.
  EXPECT_TRUE(FindMountedVolume(1, 2, "C:\\VOL\\B.HC", Letter, List));
  EXPECT_EQ(Letter, 'E');
  EXPECT_FALSE(FindMountedVolume(1, 3, "C:\\VOL\\B.HC", Letter, List));
}

} // namespace
