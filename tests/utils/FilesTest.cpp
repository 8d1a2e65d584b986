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

TEST(UtilsFiles, LastWriteRoundTripsToTheTickAndAFolderHasNone) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "t.txt";
  ASSERT_TRUE(WriteFileBytes(F, "x"));
  const TFileTicks Stamp = std::chrono::days(155000) + TFileTicks(1234567);
  ASSERT_EQ(SetLastWrite(F, Stamp), 0u);
  EXPECT_EQ(GetLastWrite(F), Stamp);
  EXPECT_EQ(GetLastWrite(Dir.Path()), TFileTicks::zero());
  EXPECT_NE(SetLastWrite(Dir / "missing.txt", Stamp), 0u);
}
