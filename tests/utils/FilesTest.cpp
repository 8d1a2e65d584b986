// Files, folders, file times and text conversion, on real files under Wine.
#include <gtest/gtest.h>

#include "FileTimes.h"
#include "Files.h"
#include "Scoped.h"
#include "TestSupport.h"
#include "Text.h"

TEST(UtilsFiles, ForceDirsAndWholeFiles) {
  ScratchFolder Dir("utils");
  EXPECT_TRUE(ForceDirsEx(Dir / "a\\b/c\\") && DirExistsEx(Dir / "a\\b\\c"));
  ASSERT_TRUE(WriteFileBytes(Dir / "f", "x"));
  EXPECT_FALSE(ForceDirsEx(Dir / "f\\g"));  // a file in the way

  const std::string F = Dir / "f.bin";
  std::string Bytes = "stale";
  EXPECT_FALSE(ReadFileBytes(F, Bytes));
  EXPECT_EQ(Bytes, "");
  EXPECT_FALSE(WriteFileBytes(Dir / "no\\such\\f.bin", "x"));  // the folder is not made
  const std::string Binary("a\0\xFF\r\n", 5);
  ASSERT_TRUE(WriteFileBytes(F, "longer contents") && WriteFileBytes(F, Binary));
  EXPECT_TRUE(ReadFileBytes(F, Bytes));
  EXPECT_EQ(Bytes, Binary);  // replaced, not overwritten in place
  {
    // Read while another holds the file open for writing.
    TFileHandle Writer(CreateFileW(Utf8ToWide(F).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Writer);
    EXPECT_TRUE(ReadFileBytes(F, Bytes));
    EXPECT_EQ(Bytes, Binary);
    EXPECT_FALSE(WriteFileBytes(F, "x"));  // writes take the file alone
  }
}

TEST(UtilsFiles, UnicodeNamesCopyAndDelete) {
  ScratchFolder Dir("utils");
  const std::string Src = Dir /
                          "gr\xC3\xBC\xC3\x9F"
                          "e \xE2\x82\xAC.txt",
                    Dst = Dir / "dst.txt";
  ASSERT_TRUE(WriteFileBytes(Src, "line\r\nsecond \xC3\xA4") && WriteFileBytes(Dst, "other"));
  EXPECT_NE(GetFileAttributesW((Utf8ToWide(Dir.Path()) + L"\\gr\u00FC\u00DFe \u20AC.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(FileCopy(Src, Dst));  // over an existing file
  EXPECT_EQ(ReadTextFile(Dst), "line\r\nsecond \xC3\xA4");
  EXPECT_FALSE(FileCopy(Src, Dir / "x\\d.txt"));  // the folder is not made
  EXPECT_TRUE(ForceDirsEx(Dir / "x"));
  EXPECT_FALSE(FileDelete(Dir / "x"));  // files only: a folder stays
  EXPECT_TRUE(FileDelete(Dst));
  EXPECT_FALSE(FileExistsEx(Dst) || FileDelete(Dst));
  const std::string Emoji = "A\xF0\x9F\x98\x80";  // a surrogate pair in UTF-16
  EXPECT_EQ(Utf8ToWide(Emoji), std::wstring(L"A\U0001F600"));
  EXPECT_TRUE(SameTextUtf8("\xC3\x84rger", "\xC3\xA4RGER"));
}

TEST(UtilsFiles, TimesRoundTripWithinAMillisecond) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "t.txt";
  ASSERT_TRUE(WriteFileBytes(F, "x"));
  // 15 June 2021 13:45:31 (summer time) falls to the even second.
  const double Stamp = 44362.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
  ASSERT_EQ(SetFileDateTime(F, Stamp + 1.0 / 86400), 0u);
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), Stamp));
  ASSERT_EQ(SetFileDateTime(F, 44197.25), 0u);  // winter time
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), 44197.25));
  // Outside the DOS range: refused, time kept.
  EXPECT_EQ(SetFileDateTime(F, 100.0), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), 44197.25));
}
