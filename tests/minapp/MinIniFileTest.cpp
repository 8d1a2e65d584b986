// The INI accessor against real files.
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

TEST_F(MinIniFile, StoredValuesBeatDefaultsAndAReaderNeverWrites) {
  const std::string Stored = "[B]\r\nEmpty=\r\nCount=42\r\nOne=1\r\nTwo=2\r\nMinus=-1\r\nHalf=1.5\r\nLower=true\r\n"
                             "Upper=FALSE\r\nZero=0\r\nZeroPoint=0.0\r\nWord=yes\r\n";
  ASSERT_TRUE(WriteTextFile(Stored, Path));
  TMinIniFile Reader(Path, false);
  Reader.Section = "B";
  EXPECT_EQ(Reader.ReadWriteString("Empty", "default"), "");
  EXPECT_EQ(Reader.ReadWriteString("Missing", "default"), "default");
  EXPECT_EQ(Reader.ReadWriteInteger("Count", 7), 42);
  EXPECT_EQ(Reader.ReadWriteInteger("Missing", 7), 7);
  for (const char* Key : {"One", "Two", "Minus", "Half", "Lower"}) EXPECT_TRUE(Reader.ReadWriteBool(Key, false)) << Key;
  for (const char* Key : {"Upper", "Zero", "ZeroPoint"}) EXPECT_FALSE(Reader.ReadWriteBool(Key, true)) << Key;
  // Neither a number nor a word: the caller's default.
  EXPECT_TRUE(Reader.ReadWriteBool("Word", true));

  EXPECT_EQ(ReadTextFile(Path), Stored);
  const std::string Absent = Folder / "absent.ini";
  TMinIniFile(Absent, false).ReadWriteString("Key", "x");
  EXPECT_EQ(GetFileAttributesA(Absent.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(TMinIniFile(Absent, false).ReadSections().empty());
}

TEST_F(MinIniFile, WriterThenReaderRoundTripInFileOrderWithUtf8Bytes) {
  const std::string Unicode = "Geb\xC3\xA4ude \xE2\x82\xAC";            // "Gebäude €"
  const std::string Value = "D:\\M\xC3\xBCll\\\xF0\x9F\x98\x80.tc";     // "D:\Müll\😀.tc"
  {
    TMinIniFile Writer(Path, true);
    Writer.Section = "Common";
    EXPECT_EQ(Writer.ReadWriteString("Empty", ""), "");
    EXPECT_EQ(Writer.ReadWriteInteger("Minutes", -5), -5);
    EXPECT_TRUE(Writer.ReadWriteBool("On", true));
    EXPECT_FALSE(Writer.ReadWriteBool("Off", false));
    Writer.Section = "Volume";
    Writer.ReadWriteString("Path", "C:\\Program Files\\x.exe");
    Writer.Section = Unicode;
    Writer.ReadWriteString(Unicode, Value);
  }
  const std::string Text = ReadTextFile(Path);
  for (const std::string& Line : std::vector<std::string>{"Minutes=-5", "On=1", "Off=0", "Empty=\r\n", "[" + Unicode + "]", Unicode + "=" + Value})
    EXPECT_NE(Text.find(Line), std::string::npos) << Line;

  TMinIniFile Reader(Path, false);
  EXPECT_EQ(Reader.ReadSections(), (std::vector<std::string>{"Common", "Volume", Unicode}));
  Reader.Section = "Common";
  EXPECT_EQ(Reader.ReadWriteString("Empty", "other"), "");
  EXPECT_EQ(Reader.ReadWriteInteger("Minutes", 3), -5);
  EXPECT_TRUE(Reader.ReadWriteBool("On", false));
  EXPECT_FALSE(Reader.ReadWriteBool("Off", true));
  Reader.Section = "Volume";
  EXPECT_EQ(Reader.ReadWriteString("Path", ""), "C:\\Program Files\\x.exe");
  Reader.Section = Unicode;
  EXPECT_EQ(Reader.ReadWriteString(Unicode, ""), Value);
}

}  // namespace
