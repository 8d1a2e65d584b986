#include <gtest/gtest.h>
#include <windows.h>

#include "MinIniFile.h"
#include "TestSupport.h"

namespace {

class MinIniFile : public ::testing::Test {
protected:
  ScratchFolder Folder{"ini"};
  std::string Path = Folder / "settings.ini";
};

}  // namespace

TEST_F(MinIniFile, StoredValuesBeatDefaultsAndMissingKeysGiveThem) {
  ASSERT_TRUE(WriteTextFile(Path, "[Common]\r\nEmpty=\r\nName=stored\r\nCount=42\r\n"));
  TMinIniFile Reader(Path, false);
  Reader.Section = "Common";
  EXPECT_EQ(Reader.ReadWriteString("Empty", "default"), "");
  EXPECT_EQ(Reader.ReadWriteString("Name", "default"), "stored");
  EXPECT_EQ(Reader.ReadWriteString("Missing", "default"), "default");
  EXPECT_EQ(Reader.ReadWriteString("Missing", ""), "");
  EXPECT_EQ(Reader.ReadWriteInteger("Count", 7), 42);
  EXPECT_EQ(Reader.ReadWriteInteger("Missing", 7), 7);
  Reader.Section = "Other";
  EXPECT_EQ(Reader.ReadWriteString("Name", "default"), "default");
  // A reader never writes, not even the defaults it hands out.
  EXPECT_EQ(ReadTextFile(Path), "[Common]\r\nEmpty=\r\nName=stored\r\nCount=42\r\n");
  const std::string Absent = Folder / "absent.ini";
  TMinIniFile(Absent, false).ReadWriteString("Key", "x");
  EXPECT_EQ(GetFileAttributesA(Absent.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MinIniFile, WriterThenReaderRoundTrip) {
  {
    TMinIniFile Writer(Path, true);
    Writer.Section = "Common";
    EXPECT_EQ(Writer.ReadWriteString("Path", "C:\\Program Files\\x.exe"), "C:\\Program Files\\x.exe");
    EXPECT_EQ(Writer.ReadWriteString("Empty", ""), "");
    EXPECT_EQ(Writer.ReadWriteInteger("Minutes", -5), -5);
    EXPECT_TRUE(Writer.ReadWriteBool("On", true));
    EXPECT_FALSE(Writer.ReadWriteBool("Off", false));
    Writer.Section = "Volume";
    Writer.ReadWriteString("Path", "D:\\box.tc");
  }
  const std::string Text = ReadTextFile(Path);
  for (const char* Line : {"Minutes=-5", "On=1", "Off=0", "Empty=\r\n"}) EXPECT_NE(Text.find(Line), std::string::npos) << Line;

  TMinIniFile Reader(Path, false);
  Reader.Section = "Common";
  EXPECT_EQ(Reader.ReadWriteString("Path", "other"), "C:\\Program Files\\x.exe");
  EXPECT_EQ(Reader.ReadWriteString("Empty", "other"), "");
  EXPECT_EQ(Reader.ReadWriteInteger("Minutes", 3), -5);
  EXPECT_TRUE(Reader.ReadWriteBool("On", false));
  EXPECT_FALSE(Reader.ReadWriteBool("Off", true));
  Reader.Section = "Volume";
  EXPECT_EQ(Reader.ReadWriteString("Path", ""), "D:\\box.tc");
}

TEST_F(MinIniFile, BooleansAsStored) {
  ASSERT_TRUE(WriteTextFile(Path,
                            "[B]\r\nOne=1\r\nTwo=2\r\nMinus=-1\r\nHalf=1.5\r\nLower=true\r\nUpper=FALSE\r\n"
                            "Zero=0\r\nZeroPoint=0.0\r\nWord=yes\r\n"));
  TMinIniFile Reader(Path, false);
  Reader.Section = "B";
  for (const char* Key : {"One", "Two", "Minus", "Half", "Lower"}) EXPECT_TRUE(Reader.ReadWriteBool(Key, false)) << Key;
  for (const char* Key : {"Upper", "Zero", "ZeroPoint"}) EXPECT_FALSE(Reader.ReadWriteBool(Key, true)) << Key;
  // Neither a number nor a word: the caller's default.
  EXPECT_TRUE(Reader.ReadWriteBool("Word", true));
  EXPECT_FALSE(Reader.ReadWriteBool("Word", false));
  EXPECT_TRUE(Reader.ReadWriteBool("Missing", true));
}

TEST_F(MinIniFile, SectionsInFileOrder) {
  ASSERT_TRUE(WriteTextFile(Path, "[Common]\r\nA=1\r\n[Zeta]\r\nPath=z\r\n[Alpha]\r\n[Mid dle]\r\nB=2\r\n"));
  EXPECT_EQ(TMinIniFile(Path, false).ReadSections(), (std::vector<std::string>{"Common", "Zeta", "Alpha", "Mid dle"}));
  // The mode does not matter, and a missing file has no sections.
  EXPECT_EQ(TMinIniFile(Path, true).ReadSections().size(), 4u);
  EXPECT_TRUE(TMinIniFile(Folder / "absent.ini", false).ReadSections().empty());
}

TEST_F(MinIniFile, Utf8BytesPassThroughUnchanged) {
  const std::string Section = "Geb\xC3\xA4ude \xE2\x82\xAC";           // "Gebäude €"
  const std::string Value = "D:\\M\xC3\xBCll\\\xF0\x9F\x98\x80.tc";     // "D:\Müll\😀.tc"
  const std::string Key = "Schl\xC3\xBCssel";                           // "Schlüssel"
  {
    TMinIniFile Writer(Path, true);
    Writer.Section = Section;
    Writer.ReadWriteString(Key, Value);
  }
  const std::string Text = ReadTextFile(Path);
  EXPECT_NE(Text.find("[" + Section + "]"), std::string::npos) << Text;
  EXPECT_NE(Text.find(Key + "=" + Value), std::string::npos) << Text;

  TMinIniFile Reader(Path, false);
  EXPECT_EQ(Reader.ReadSections(), std::vector<std::string>{Section});
  Reader.Section = Section;
  EXPECT_EQ(Reader.ReadWriteString(Key, ""), Value);
}
