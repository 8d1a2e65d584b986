// Writes that cannot tear, on real files under Wine: how each way out of
// WriteFileSafely leaves the file, and the overwrite before a replacement.
#include <gtest/gtest.h>

#include "Files.h"
#include "Scoped.h"
#include "TestSupport.h"
#include "Text.h"

TEST(UtilsSafeWrite, SwappedInPlaceOrLeftWhole) {
  ScratchFolder Dir("safewrite");
  const std::string F = Dir / "settings.ini";
  std::string Bytes;
  EXPECT_EQ(WriteFileSafely(F, "new file"), TWriteOutcome::Swapped);
  EXPECT_EQ(WriteFileSafely(F, "second"), TWriteOutcome::Swapped);
  EXPECT_TRUE(ReadFileBytes(F, Bytes) && Bytes == "second");
  {
    // An editor holds it without letting it be replaced: written in place.
    TFileHandle Editor(CreateFileW(Utf8ToWide(F).c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Editor);
    EXPECT_EQ(WriteFileSafely(F, "held"), TWriteOutcome::InPlace);
  }
  EXPECT_TRUE(ReadFileBytes(F, Bytes) && Bytes == "held");
  {
    // A program that shares only reading (a backup, a scanner) holds it: the
    // step after the temporary file was written fails, and so would a write
    // in place. The old file stays whole.
    TFileHandle Reader(
        CreateFileW(Utf8ToWide(F).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Reader);
    EXPECT_EQ(WriteFileSafely(F, "cut short"), TWriteOutcome::Failed);
  }
  EXPECT_TRUE(ReadFileBytes(F, Bytes) && Bytes == "held");
  EXPECT_FALSE(FileExistsEx(F + ".new"));

  EXPECT_TRUE(OverwriteFileInPlace(F));
  EXPECT_TRUE(ReadFileBytes(F, Bytes) && Bytes == std::string(4, '\0'));
  EXPECT_FALSE(OverwriteFileInPlace(Dir / "missing"));
}
