// Locating the encryption program: remembered path, default locations, type and version level.
#include "Files.h"
#include "Text.h"
#include "VolumeControlFixture.h"
#include "StandinControl.h"

namespace {
std::string ReadPath(const std::string& Settings) {
  TMinIniFile Reader(Settings, false);
  Reader.Section = "Common";
  return Reader.ReadWriteString("Path", "<absent>");
}

class CryptProgramTest : public VolumeControlTest {
 protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    Control.CryptProgram = {};
  }
};

TEST_F(CryptProgramTest, RememberedProgramGivesTypeAndVersionLevel) {
  ScratchFolder Folder("locator");
  ASSERT_TRUE(FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Folder / "truecrypt.exe"));
  using enum StandinBuild;
  for (const auto& [Program, Level, TrueCrypt] : {std::tuple{StandinProgramPath(VeraCrypt121), 119, false},
                                                  {StandinProgramPath(VeraCrypt116), 115, false},
                                                  {StandinProgramPath(VeraCrypt113), 114, false},
                                                  {Folder / "truecrypt.exe", 114, true}}) {
    SCOPED_TRACE(Program);
    Control.CryptProgram.Path.clear();
    RememberCryptProgram(Program);
    std::string Path = "stale";
    EXPECT_TRUE(Control.FindCryptProgram(Path));
    EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
    EXPECT_EQ(std::pair(Control.CryptProgram.VersionLevel, Control.CryptProgram.IsTrueCrypt),
              std::pair(Level, TrueCrypt));
  }
}

TEST_F(CryptProgramTest, QuestionStartsAtTheDefaultTrueCryptLocationAndAStalePathIsKept) {
  for (const char* Root : {"C:\\Program Files", "C:\\Program Files (x86)"})
    ASSERT_FALSE(FileExistsEx(std::string(Root) + "\\VeraCrypt\\VeraCrypt.exe"));
  const std::string Folder = "C:\\Program Files (x86)\\TrueCrypt", Program = Folder + "\\TrueCrypt.exe";
  ASSERT_TRUE(ForceDirsEx(Folder) && FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Program));
  std::string InitialDir;
  uint32_t FilterIndex = 1;
  FindDefaultCryptProgram(InitialDir, FilterIndex);
  EXPECT_TRUE(SameTextUtf8(InitialDir, Folder)) << InitialDir;
  EXPECT_EQ(FilterIndex, 2u);  // the TrueCrypt pair
  // A program gone missing (a stick not plugged in) is not forgotten.
  RememberCryptProgram("C:\\nowhere\\VeraCrypt.exe");
  std::string Path = "stale";
  EXPECT_FALSE(Control.FindCryptProgram(Path));
  EXPECT_EQ(Path, "");
  EXPECT_EQ(ReadPath(UserSettings()), "C:\\nowhere\\VeraCrypt.exe");
  FileDelete(Program);
  RemoveDirectoryW(Utf8ToWide(Folder).c_str());
}

TEST_F(CryptProgramTest, ChoiceIsRememberedInThePerUserSettingsOnly) {
  const std::string Beside = ProgramFolderSettings();
  ASSERT_TRUE(WriteFileBytes(Beside, "[Common]\r\nIcon=\r\n"));
  ASSERT_EQ(SettingsFileName(), Beside);
  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt119);
  EXPECT_FALSE(Control.SetCryptProgram("C:\\nowhere\\VeraCrypt.exe"));
  EXPECT_TRUE(Control.SetCryptProgram(Program));
  std::string Path;
  EXPECT_TRUE(Control.FindCryptProgram(Path));
  EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
  EXPECT_TRUE(SameTextUtf8(ReadPath(UserSettings()), Program));
  EXPECT_EQ(ReadPath(Beside), "<absent>");
}

}  // namespace
