// Locating the encryption program: the remembered path, its type and version level.
#include "VolumeControlFixture.h"
#include "StandinControl.h"

namespace {
class CryptProgramTest : public VolumeControlTest {
 protected:
  static void Remember(const std::string& Path) {
    ASSERT_TRUE(ForceDirsEx(UserConfigDir()));
    TMinIniFile Writer(UserSettings(), true);
    Writer.Section = "Common";
    Writer.ReadWriteString("Path", Path);
  }
  bool Find(const std::string& Expected) {
    Control.CryptProgram.Path.clear();
    std::string Path = "stale";
    const bool Found = Control.FindCryptProgram(Path);
    EXPECT_TRUE(SameTextUtf8(Path, Expected)) << Path;
    return Found;
  }
};

TEST_F(CryptProgramTest, RememberedProgramGivesTypeAndVersionLevelAndAMissingOneIsKept) {
  using enum StandinBuild;
  for (const auto& [Program, Level, TrueCrypt] : {std::tuple{StandinProgramPath(VeraCrypt121), 119, false},
                                                  {StandinProgramPath(VeraCrypt116), 115, false},
                                                  {StandinProgramPath(VeraCrypt113), 114, false},
                                                  {StandinProgramPath(TrueCrypt71a), 114, true}}) {
    SCOPED_TRACE(Program);
    Remember(Program);
    EXPECT_TRUE(Find(Program));
    EXPECT_EQ(std::pair(Control.CryptProgram.VersionLevel, Control.CryptProgram.IsTrueCrypt),
              std::pair(Level, TrueCrypt));
  }
  // A program gone missing (a stick not plugged in) is not forgotten.
  Remember("C:\\nowhere\\VeraCrypt.exe");
  EXPECT_FALSE(Find(""));
  TMinIniFile Reader(UserSettings(), false);
  Reader.Section = "Common";
  EXPECT_EQ(Reader.ReadWriteString("Path", ""), "C:\\nowhere\\VeraCrypt.exe");
}

}  // namespace
