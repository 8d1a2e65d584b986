// The INI accessor against real files.
#include <gtest/gtest.h>

#include "Files.h"
#include "MinIniFile.h"
#include "TestSupport.h"

TEST(MinIniFile, WriterThenReaderRoundTripInFileOrderAndAReaderNeverWrites) {
  ScratchFolder Folder{"ini"};
  const std::string Path = Folder / "settings.ini", Unicode = "Geb\xC3\xA4ude \xE2\x82\xAC";  // "Gebäude €"
  const std::string Value = "D:\\M\xC3\xBCll\\\xF0\x9F\x98\x80.tc";                           // "D:\Müll\😀.tc"
  {
    TMinIniFile Writer(Path, true);
    Writer.Section = "Common";
    EXPECT_EQ(Writer.ReadWriteString("Empty", ""), "");
    EXPECT_EQ(Writer.ReadWriteInteger("Minutes", -5), -5);
    EXPECT_FALSE(Writer.ReadWriteBool("Off", false));
    Writer.Section = Unicode;
    Writer.ReadWriteString(Unicode, Value);
  }
  const std::string Written = ReadTextFile(Path) +
                              "[B]\r\nOne=1\r\nTwo=2\r\nMinus=-1\r\nHalf=1.5\r\nLower=true\r\n"
                              "Upper=FALSE\r\nZero=0\r\nZeroPoint=0.0\r\nWord=yes\r\n";
  for (const std::string Line : {Unicode + "]\r\n" + Unicode + "=" + Value, std::string("Empty=\r\nMinutes=-5")})
    EXPECT_NE(Written.find(Line), std::string::npos) << Line;
  ASSERT_TRUE(WriteFileBytes(Path, Written));

  TMinIniFile Reader(Path, false);
  EXPECT_EQ(Reader.ReadSections(), (std::vector<std::string>{"Common", Unicode, "B"}));
  Reader.Section = "Common";
  EXPECT_EQ(Reader.ReadWriteString("Empty", "other"), "");
  EXPECT_EQ(Reader.ReadWriteInteger("Minutes", 3), -5);
  EXPECT_FALSE(Reader.ReadWriteBool("Off", true));
  Reader.Section = Unicode;
  EXPECT_EQ(Reader.ReadWriteString(Unicode, ""), Value);
  Reader.Section = "B";
  for (const char* Key : {"One", "Two", "Minus", "Half", "Lower"}) EXPECT_TRUE(Reader.ReadWriteBool(Key, false)) << Key;
  for (const char* Key : {"Upper", "Zero", "ZeroPoint"}) EXPECT_FALSE(Reader.ReadWriteBool(Key, true)) << Key;
  EXPECT_TRUE(Reader.ReadWriteBool("Word", true));  // neither a number nor a word: the default
  EXPECT_EQ(ReadTextFile(Path), Written);
}
