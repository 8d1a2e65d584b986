// Windows-free rules: ".tcvinfo.ini" values, the driver's reply, when an idle dismount is due.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "IdleRule.h"
#include "MountListDecoder.h"
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
  for (auto [Value, Drive] : {std::pair{"\\a.key;D:\\b.key", 'E'}, {"\\a.key;x:y", 'E'}, {"a.key", AppDataMarker}})
    EXPECT_EQ(KeyfilePaths(Value, Drive, Refusal), std::nullopt) << Value;
  std::string Sixteen, Seventeen;
  for (int I = 0; I < 17; ++I) (I < 16 ? Sixteen : Seventeen) += "\\k" + std::to_string(I) + ";";
  EXPECT_EQ(KeyfilePaths(Sixteen, 'E', Refusal)->size(), 16u);
  EXPECT_EQ(KeyfilePaths(Sixteen + Seventeen, 'E', Refusal), std::nullopt);
}

// A driver reply: a bit per letter, 260 UTF-16 names from offset 4, a flags
// table at 17320. Bits above Z name no letter; a short reply is read only as
// far as it goes.
TEST(MountedQueryDecode, SlotsOfSetBitsWithNamesAndFlagsReadNothingOutside) {
  std::vector<uint8_t> Bytes(17424, 0);
  for (const auto& [K, Name, Flag] : {std::tuple{0, std::u16string(u"\\Device\\Harddisk1\\Partition2"), 1u},
                                      {19, u"\\??\\C:\\Vol\\a.hc", 0u},
                                      {25, std::u16string(260, u'x'), 0x100u}}) {  // no terminator in Z's name
    Bytes[K / 8] |= uint8_t(1u << (K % 8));
    std::memcpy(&Bytes[4 + K * 520], Name.data(), Name.size() * 2);
    std::memcpy(&Bytes[17320 + 4 * K], &Flag, 4);
  }
  Bytes[3] |= 0xFC;
  std::vector<std::tuple<char, std::u16string, bool>> Slots;
  for (const TMountListSlot& S : DecodeMountList(Bytes.data(), Bytes.size(), 17320))
    Slots.emplace_back(S.Letter, S.Name, S.TrueCryptFlag);
  EXPECT_EQ(Slots, (decltype(Slots){{'A', u"\\Device\\Harddisk1\\Partition2", true},
                                    {'T', u"\\??\\C:\\Vol\\a.hc", false},
                                    {'Z', std::u16string(260, u'x'), true}}));
  EXPECT_FALSE(DecodeMountList(Bytes.data(), Bytes.size(), -1)[0].TrueCryptFlag);  // no flags table
  // Cut inside T's name: the part that is there, nothing of Z's, and no flag.
  const std::vector<TMountListSlot> Short = DecodeMountList(Bytes.data(), 4 + 19 * 520 + 5, 17320);
  ASSERT_EQ(Short.size(), 3u);
  EXPECT_EQ(std::tuple(Short[1].Name, Short[2].Name, Short[1].TrueCryptFlag),
            std::tuple(std::u16string(u"\\?"), std::u16string(), false));
  EXPECT_TRUE(DecodeMountList(Bytes.data(), 3, 17320).empty());
  EXPECT_TRUE(DecodeMountList(nullptr, 0, -1).empty());
}

// Across the wrap of the tick counter; long limits neither overflow nor
// exceed a timer's range.
TEST(IdleRule, DueAfterTheMinutesWithoutInput) {
  EXPECT_EQ(IdleDismountDelay(1000, 1000, 1), 60000u);
  EXPECT_EQ(IdleDismountDelay(60999, 1000, 1), 1u);
  EXPECT_EQ(IdleDismountDelay(61000, 1000, 1), 0u);
  EXPECT_EQ(IdleDismountDelay(20000, 0xFFFFFFFFu - 39999, 1), 0u);
  EXPECT_EQ(IdleDismountDelay(10000, 0xFFFFFFFFu - 39999, 1), 10000u);
  // An input read after the clock is no idle time.
  EXPECT_EQ(IdleDismountDelay(1000, 1016, 1), 60000u);
  EXPECT_EQ(IdleDismountDelay(0xFFFFFFF0u, 16, 2), 120000u);
  EXPECT_EQ(IdleDismountDelay(0, 0, 35791), 35791u * 60000u);
  EXPECT_EQ(IdleDismountDelay(0, 0, INT32_MAX), MaxIdleCheckDelay);
  // Idle times of more than 24.8 days cannot be told from a later input.
  EXPECT_NE(IdleDismountDelay(0x80000001u, 0, INT32_MAX), 0u);
}
