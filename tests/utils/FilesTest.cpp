// Files, folders and file times on real files under Wine.
#include <gtest/gtest.h>

#include "FileTimes.h"
#include "Files.h"
#include "Scoped.h"
#include "TestSupport.h"
#include "Text.h"

TEST(UtilsFiles, ForceDirsWholeFilesCopyAndDeleteUnderAUnicodeName) {
  ScratchFolder Dir("utils");
  EXPECT_TRUE(ForceDirsEx(Dir / "a\\b/c\\") && DirExistsEx(Dir / "a\\b\\c"));
  ASSERT_TRUE(WriteFileBytes(Dir / "f", "x"));
  EXPECT_FALSE(ForceDirsEx(Dir / "f\\g"));  // a file in the way

  const std::string F = Dir / "gr\xC3\xBC\xC3\x9F \xE2\x82\xAC.bin", Copy = Dir / "copy.bin";
  std::string Bytes = "stale";
  EXPECT_FALSE(ReadFileBytes(F, Bytes));
  EXPECT_EQ(Bytes, "");
  EXPECT_FALSE(WriteFileBytes(Dir / "no\\such\\f.bin", "x"));  // the folder is not made
  const std::string Binary("a\0\xFF\r\n", 5);
  ASSERT_TRUE(WriteFileBytes(F, "longer contents") && WriteFileBytes(F, Binary));
  EXPECT_NE(GetFileAttributesW((Utf8ToWide(Dir.Path()) + L"\\gr\u00FC\u00DF \u20AC.bin").c_str()),
            INVALID_FILE_ATTRIBUTES);
  {
    // Read while another holds the file open for writing.
    TFileHandle Writer(CreateFileW(Utf8ToWide(F).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Writer);
    EXPECT_TRUE(ReadFileBytes(F, Bytes));
    EXPECT_EQ(Bytes, Binary);              // replaced, not overwritten in place
    EXPECT_FALSE(WriteFileBytes(F, "x"));  // writes take the file alone
  }
  ASSERT_TRUE(WriteFileBytes(Copy, "other"));
  EXPECT_TRUE(FileCopy(F, Copy) && ReadFileBytes(Copy, Bytes) && Bytes == Binary);  // over an existing file
  EXPECT_FALSE(FileCopy(F, Dir / "x\\d.txt"));                                      // the folder is not made
  EXPECT_FALSE(FileDelete(Dir / "a"));                                              // files only: a folder stays
  EXPECT_TRUE(FileDelete(Copy));
  EXPECT_FALSE(FileExistsEx(Copy) || FileDelete(Copy));
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
