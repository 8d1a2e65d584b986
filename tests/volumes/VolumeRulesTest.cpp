// Windows-free rules of volume control: ".tcvinfo.ini" values, the driver's
// mount-list reply and the device names it reports.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "MountListDecoder.h"
#include "MountedNameRules.h"
#include "VolumeInfoRules.h"

namespace {

TEST(VolumeDefsRules, LetterIsOneUpperCaseLetterOrBlank) {
  EXPECT_EQ(LetterFromInfoValue("T"), 'T');
  EXPECT_EQ(LetterFromInfoValue("A"), 'A');
  EXPECT_EQ(LetterFromInfoValue("Z"), 'Z');
  for (const char* Value : {"e", "EF", "", " ", "1", "T:", "@", "["})
    EXPECT_EQ(LetterFromInfoValue(Value), ' ') << '"' << Value << '"';
}

TEST(VolumeDefsRules, FileWithoutDriveIsTakenOnTheInfoDrive) {
  EXPECT_EQ(CompleteContainerPath("\\Vault\\a.hc", 'E'), "E:\\Vault\\a.hc");
  EXPECT_EQ(CompleteContainerPath("Vault\\a.hc", 'E'), "E:\\Vault\\a.hc");
  EXPECT_EQ(CompleteContainerPath("/Vault/a.hc", 'E'), "E:/Vault/a.hc");
  // Values with a drive or a UNC prefix, and empty values, stay as they are.
  EXPECT_EQ(CompleteContainerPath("D:\\a.hc", 'E'), "D:\\a.hc");
  EXPECT_EQ(CompleteContainerPath("D:a.hc", 'E'), "D:a.hc");
  EXPECT_EQ(CompleteContainerPath("\\\\server\\share\\a.hc", 'E'), "\\\\server\\share\\a.hc");
  EXPECT_EQ(CompleteContainerPath("", 'E'), "");
}

TEST(MountedQueryNames, DevicePartitionNames) {
  int32_t Disk = 7, Partition = 7;
  EXPECT_TRUE(ParseDiskPartitionName("\\DEVICE\\HARDDISK1\\PARTITION2", Disk, Partition));
  EXPECT_EQ(Disk, 1);
  EXPECT_EQ(Partition, 2);
  EXPECT_TRUE(ParseDiskPartitionName("  \\DEVICE\\HARDDISK 12 \\PARTITION 0\t", Disk, Partition));
  EXPECT_EQ(Disk, 12);
  EXPECT_EQ(Partition, 0);
  // The last "PARTITION" counts.
  EXPECT_TRUE(ParseDiskPartitionName("\\DEVICE\\HARDDISK3\\PARTITION9\\PARTITION4", Disk, Partition));
  EXPECT_EQ(Partition, 4);

  for (const char* Name : {"\\DEVICE\\HARDDISKVOLUME5", "\\DEVICE\\HARDDISK1", "\\DEVICE\\HARDDISK1\\PARTITION",
                           "\\DEVICE\\HARDDISK1\\PARTITION2X", "\\DEVICE\\PARTITION2",
                           "\\device\\harddisk1\\partition2", "", "\\??\\C:\\VOL\\A.HC",
                           "\\DEVICE\\HARDDISK99999999999\\PARTITION1"})
    EXPECT_FALSE(ParseDiskPartitionName(Name, Disk, Partition)) << Name;
}

TEST(MountedQueryNames, IntegerConversionAndPrefix) {
  int32_t V = 0;
  EXPECT_TRUE(TextToInt32("-2147483648", V));
  EXPECT_EQ(V, INT32_MIN);
  EXPECT_TRUE(TextToInt32("$1F", V));
  EXPECT_EQ(V, 31);
  for (const char* Text : {"", "-", "2147483648", "1 2", "0X", "12A"})
    EXPECT_FALSE(TextToInt32(Text, V)) << '"' << Text << '"';

  EXPECT_EQ(StripNtPathPrefix("\\??\\C:\\VOL\\A.HC"), "C:\\VOL\\A.HC");
  EXPECT_EQ(StripNtPathPrefix("\\\\?\\C:\\A"), "\\\\?\\C:\\A");
}

class MountListReply {
public:
  explicit MountListReply(std::size_t Size) : Bytes(Size, 0) {}
  void Mount(int K, const std::u16string& Name, uint32_t FlagsOffset = 0, uint32_t Flag = 0) {
    Put32(0, Get32(0) | 1u << K);
    for (std::size_t I = 0; I < Name.size(); ++I) {
      std::size_t At = 4 + std::size_t(K) * 520 + I * 2;
      Bytes[At] = uint8_t(Name[I]);
      Bytes[At + 1] = uint8_t(Name[I] >> 8);
    }
    if (FlagsOffset) Put32(FlagsOffset + 4 * K, Flag);
  }
  std::vector<uint8_t> Bytes;

private:
  uint32_t Get32(std::size_t At) const {
    uint32_t V;
    std::memcpy(&V, &Bytes[At], 4);
    return V;
  }
  void Put32(std::size_t At, uint32_t V) { std::memcpy(&Bytes[At], &V, 4); }
};

TEST(MountedQueryDecode, SlotsOfSetBitsWithNamesAndFlags) {
  MountListReply Reply(17424);
  Reply.Mount(0, u"\\Device\\Harddisk1\\Partition2", 17320, 1);
  Reply.Mount(19, u"\\??\\C:\\Vol\\a.hc", 17320, 0);
  Reply.Mount(25, std::u16string(260, u'x'), 17320, 0x100);  // fills the slot: no terminator

  std::vector<TMountListSlot> Slots = DecodeMountList(Reply.Bytes.data(), Reply.Bytes.size(), 17320);
  ASSERT_EQ(Slots.size(), 3u);
  EXPECT_EQ(Slots[0].Letter, 'A');
  EXPECT_EQ(Slots[0].Name, u"\\Device\\Harddisk1\\Partition2");
  EXPECT_TRUE(Slots[0].TrueCryptFlag);
  EXPECT_EQ(Slots[1].Letter, 'T');
  EXPECT_EQ(Slots[1].Name, u"\\??\\C:\\Vol\\a.hc");
  EXPECT_FALSE(Slots[1].TrueCryptFlag);
  EXPECT_EQ(Slots[2].Letter, 'Z');
  EXPECT_EQ(Slots[2].Name.size(), 260u);
  EXPECT_TRUE(Slots[2].TrueCryptFlag);

  // Without a flags table nothing is read as a flag.
  Slots = DecodeMountList(Reply.Bytes.data(), Reply.Bytes.size(), -1);
  EXPECT_FALSE(Slots[0].TrueCryptFlag);
}

TEST(MountedQueryDecode, BitsAboveZAndShortRepliesReadNothingOutside) {
  MountListReply Reply(15760);
  Reply.Mount(2, u"\\??\\C:\\A");
  Reply.Bytes[3] = 0xFC;  // bits 26..31 name no letter
  EXPECT_EQ(DecodeMountList(Reply.Bytes.data(), Reply.Bytes.size(), 15656).size(), 1u);

  // A reply cut inside C's name: the part that is there, and no flag.
  std::vector<uint8_t> Short(Reply.Bytes.begin(), Reply.Bytes.begin() + 4 + 2 * 520 + 5);
  std::vector<TMountListSlot> Slots = DecodeMountList(Short.data(), Short.size(), 15656);
  ASSERT_EQ(Slots.size(), 1u);
  EXPECT_EQ(Slots[0].Name, u"\\?");
  EXPECT_TRUE(DecodeMountList(Short.data(), 3, 15656).empty());
  EXPECT_TRUE(DecodeMountList(nullptr, 0, -1).empty());
}

} // namespace
