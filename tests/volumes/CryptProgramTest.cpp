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
  const TCryptProgram* Find() {
    Control.CryptProgram.Path.clear();
    return Control.FindCryptProgram();
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
    const TCryptProgram* Found = Find();
    ASSERT_NE(Found, nullptr);
    EXPECT_TRUE(SameTextUtf8(Found->Path, Program)) << Found->Path;
    EXPECT_EQ(std::pair(Found->VersionLevel, Found->IsTrueCrypt), std::pair(Level, TrueCrypt));
  }
  // A program gone missing (a stick not plugged in) is not forgotten.
  Remember("C:\\nowhere\\VeraCrypt.exe");
  EXPECT_EQ(Find(), nullptr);
  TMinIniFile Reader(UserSettings(), false);
  Reader.Section = "Common";
  EXPECT_EQ(Reader.ReadWriteString("Path", ""), "C:\\nowhere\\VeraCrypt.exe");
}

}  // namespace
