// Writes that cannot tear, on real files under Wine (one cut short: the
// scenario of the settings at the end of the session).
#include <gtest/gtest.h>

#include "Files.h"
#include "Scoped.h"
#include "TestSupport.h"
#include "Text.h"

TEST(UtilsSafeWrite, SwappedOrWrittenInPlaceWhenHeld) {
  ScratchFolder Dir("safewrite");
  const std::string F = Dir / "settings.ini";
  std::string Bytes;
  EXPECT_EQ(WriteFileSafely(F, "new file"), TWriteOutcome::Swapped);
  {
    // An editor holds it without letting it be replaced: written in place.
    TFileHandle Editor(CreateFileW(Utf8ToWide(F).c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Editor);
    EXPECT_EQ(WriteFileSafely(F, "held"), TWriteOutcome::InPlace);
  }
  EXPECT_TRUE(ReadFileBytes(F, Bytes) && Bytes == "held");

  EXPECT_TRUE(OverwriteFileInPlace(F));
  EXPECT_TRUE(ReadFileBytes(F, Bytes) && Bytes == std::string(4, '\0'));
  EXPECT_FALSE(OverwriteFileInPlace(Dir / "missing"));
}
