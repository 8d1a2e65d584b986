// Windows-free rules: ".tcvinfo.ini" values, the driver's reply and its device names.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "MountListDecoder.h"
#include "MountedNameRules.h"
#include "VolumeInfoRules.h"

// A value that is neither empty nor plainly what its key takes skips the
// section with a reason; nothing falls back to a default.
TEST(VolumeDefsRules, ValuesAreReadStrictly) {
  std::string Refusal;
  for (auto [Value, Letter] : {std::pair{"A", 'A'}, {"z", 'Z'}, {"T:", 'T'}, {"", ' '}})
    EXPECT_EQ(LetterFromInfoValue(Value, Refusal), Letter) << Value;
  for (auto [Value, Yes] :
       {std::pair{"yes", true}, {"OFF", false}, {"True", true}, {"2", true}, {"0", false}, {"", true}})
    EXPECT_EQ(SwitchFromInfoValue(Value, true, Refusal), Yes) << Value;
  for (auto [Value, Pim] : {std::pair{"", 0}, {"1", 1}, {"0500", 500}, {"2147468", 2147468}})
    EXPECT_EQ(WholeFromInfoValue(Value, 0, 1, MaxPim, Refusal), Pim) << Value;
  EXPECT_TRUE(Refusal.empty());
  for (const char* Value : {"EF", "@", "[", "T:\\", "1"}) EXPECT_EQ(LetterFromInfoValue(Value, Refusal), std::nullopt);
  for (const char* Value : {"maybe", "y", "1x", "tru"})
    EXPECT_EQ(SwitchFromInfoValue(Value, true, Refusal), std::nullopt);
  for (const char* Value : {"0", "2147469", "99999999999999999999999", "-5", "+5", "5 0", "5x", "0x10"})
    EXPECT_EQ(WholeFromInfoValue(Value, 0, 1, MaxPim, Refusal), std::nullopt) << Value;
  EXPECT_EQ(Refusal, "must be a whole number from 1 to 2147468");
  EXPECT_TRUE(HasControlCharacter(std::string("Vault\0x", 7)) && HasControlCharacter("a\tb") &&
              HasControlCharacter("\x7F") && !HasControlCharacter("Zo\xC3\xAB \"x\""));
}

// What a drive's own file, and the user's own file, may name.
TEST(VolumeDefsRules, DefinitionPathsStayOnTheirDriveUnlessTheUserWroteThem) {
  const std::optional<std::string> Refused;
  const struct {
    const char* Value;
    std::optional<std::string> OnDrive, InUserFile;
  } Cases[] = {
      {"", "", ""},
      {"\\Vault\\a.hc", "E:\\Vault\\a.hc", Refused},
      {"Vault\\a.hc", "E:\\Vault\\a.hc", Refused},
      {"/Vault/a.hc", "E:/Vault/a.hc", Refused},
      {"E:\\a.hc", "E:\\a.hc", "E:\\a.hc"},
      {"e:a.hc", "e:a.hc", "e:a.hc"},
      {"D:\\a.hc", Refused, "D:\\a.hc"},
      {"\\\\host\\share\\a.hc", Refused, "\\\\host\\share\\a.hc"},
      {"//host/share/a.hc", Refused, "//host/share/a.hc"},
      {"\\\\?\\E:\\a.hc", Refused, "\\\\?\\E:\\a.hc"},
      {"\\\\.\\PhysicalDrive0", Refused, "\\\\.\\PhysicalDrive0"},
      {"/:x", Refused, Refused},
      {"1:\\a.hc", Refused, Refused},
      {"E:\\a.hc:stream", Refused, "E:\\a.hc:stream"},
      {"\\k\\COM1", Refused, Refused},
      {"\\keys\\nul.txt", Refused, Refused},
      {"C:\\Aux \\a.hc", Refused, Refused},
      {"\\con\\COM10.hc", Refused, Refused},
      {"\\lpt9.x.y", Refused, Refused},
      {"\\keys\\COM0\\nullx.txt", "E:\\keys\\COM0\\nullx.txt", Refused},
  };
  for (const auto& C : Cases) {
    std::string Refusal;
    EXPECT_EQ(DefinitionPath(C.Value, 'E', Refusal), C.OnDrive) << C.Value;
    EXPECT_EQ(Refusal.empty(), C.OnDrive.has_value()) << C.Value;
    EXPECT_EQ(DefinitionPath(C.Value, AppDataMarker, Refusal), C.InUserFile) << C.Value;
  }
  EXPECT_TRUE(IsNetworkPath("\\\\h\\s") && IsNetworkPath("/\\h") && !IsNetworkPath("\\h") && !IsNetworkPath("C:\\"));
}

// Keyfiles follow the rules of "File", each one; one refused refuses all.
TEST(VolumeDefsRules, KeyfilePathsInTheirOrder) {
  using Paths = std::vector<std::string>;
  std::string Refusal;
  EXPECT_EQ(KeyfilePaths("", 'E', Refusal), Paths{});
  EXPECT_EQ(KeyfilePaths(" \\keys\\a.key ; ;keys\\b.key;E:\\c;", 'E', Refusal),
            (Paths{"E:\\keys\\a.key", "E:\\keys\\b.key", "E:\\c"}));
  EXPECT_EQ(KeyfilePaths("C:\\k\\a.key;\\\\host\\k", AppDataMarker, Refusal), (Paths{"C:\\k\\a.key", "\\\\host\\k"}));
  EXPECT_TRUE(Refusal.empty());
  for (const char* Value : {"\\a.key;D:\\b.key", "\\\\host\\k", "\\a.key;x:y"}) {
    EXPECT_EQ(KeyfilePaths(Value, 'E', Refusal), std::nullopt) << Value;
    EXPECT_FALSE(Refusal.empty());
    Refusal.clear();
  }
  EXPECT_EQ(KeyfilePaths("a.key", AppDataMarker, Refusal), std::nullopt);
  std::string Sixteen, Seventeen;
  for (int I = 0; I < 17; ++I) (I < 16 ? Sixteen : Seventeen) += "\\k" + std::to_string(I) + ";";
  EXPECT_EQ(KeyfilePaths(Sixteen, 'E', Refusal)->size(), 16u);
  EXPECT_EQ(KeyfilePaths(Sixteen + Seventeen, 'E', Refusal), std::nullopt);
}

TEST(MountedQueryNames, DevicePartitionNames) {
  int32_t Disk = 7, Partition = 7;
  EXPECT_TRUE(ParseDiskPartitionName("  \\DEVICE\\HARDDISK 12 \\PARTITION 0\t", Disk, Partition));
  EXPECT_EQ(std::pair(Disk, Partition), std::pair(12, 0));
  EXPECT_TRUE(ParseDiskPartitionName("\\DEVICE\\HARDDISK3\\PARTITION9\\PARTITION4", Disk, Partition));
  EXPECT_EQ(std::pair(Disk, Partition), std::pair(3, 4));  // the last "PARTITION" counts
  for (const char* Name : {"\\DEVICE\\HARDDISKVOLUME5", "\\DEVICE\\HARDDISK1", "\\DEVICE\\HARDDISK1\\PARTITION",
                           "\\DEVICE\\HARDDISK1\\PARTITION2X", "\\DEVICE\\PARTITION2", "", "\\??\\C:\\VOL\\A.HC",
                           "\\device\\harddisk1\\partition2", "\\DEVICE\\HARDDISK99999999999\\PARTITION1"})
    EXPECT_FALSE(ParseDiskPartitionName(Name, Disk, Partition)) << Name;
}

// A driver reply: the letter bit set, 260 UTF-16 names from offset 4, and
// a flags table at FlagsOffset.
static std::vector<uint8_t> Reply(std::size_t Size,
                                  std::initializer_list<std::tuple<int, std::u16string, uint32_t>> Slots,
                                  std::size_t FlagsOffset) {
  std::vector<uint8_t> Bytes(Size, 0);
  uint32_t Bits = 0;
  for (const auto& [K, Name, Flag] : Slots) {
    Bits |= 1u << K;
    std::memcpy(&Bytes[4 + std::size_t(K) * 520], Name.data(), Name.size() * 2);
    std::memcpy(&Bytes[FlagsOffset + 4 * std::size_t(K)], &Flag, 4);
  }
  std::memcpy(Bytes.data(), &Bits, 4);
  return Bytes;
}

TEST(MountedQueryDecode, SlotsOfSetBitsWithNamesAndFlags) {
  const std::vector<uint8_t> Bytes = Reply(17424,
                                           {{0, u"\\Device\\Harddisk1\\Partition2", 1},
                                            {19, u"\\??\\C:\\Vol\\a.hc", 0},
                                            {25, std::u16string(260, u'x'), 0x100}},
                                           17320);  // no terminator in Z's name
  std::vector<std::tuple<char, std::u16string, bool>> Slots;
  for (const TMountListSlot& S : DecodeMountList(Bytes.data(), Bytes.size(), 17320))
    Slots.emplace_back(S.Letter, S.Name, S.TrueCryptFlag);
  EXPECT_EQ(Slots, (decltype(Slots){{'A', u"\\Device\\Harddisk1\\Partition2", true},
                                    {'T', u"\\??\\C:\\Vol\\a.hc", false},
                                    {'Z', std::u16string(260, u'x'), true}}));
  EXPECT_FALSE(DecodeMountList(Bytes.data(), Bytes.size(), -1)[0].TrueCryptFlag);  // no flags table
}

TEST(MountedQueryDecode, BitsAboveZAndShortRepliesReadNothingOutside) {
  std::vector<uint8_t> Bytes = Reply(15760, {{2, u"\\??\\C:\\A", 0}}, 15656);
  Bytes[3] = 0xFC;  // bits 26..31 name no letter
  EXPECT_EQ(DecodeMountList(Bytes.data(), Bytes.size(), 15656).size(), 1u);
  // A reply cut inside C's name: the part that is there, and no flag.
  const std::vector<uint8_t> Short(Bytes.begin(), Bytes.begin() + 4 + 2 * 520 + 5);
  std::vector<TMountListSlot> Slots = DecodeMountList(Short.data(), Short.size(), 15656);
  ASSERT_EQ(Slots.size(), 1u);
  EXPECT_EQ(Slots[0].Name, u"\\?");
  EXPECT_TRUE(DecodeMountList(Short.data(), 3, 15656).empty());
  EXPECT_TRUE(DecodeMountList(nullptr, 0, -1).empty());
}
