// Path names, version comparison and date packing.
#include <gtest/gtest.h>

#include "DateTimes.h"
#include "PathNames.h"
#include "VersionCompare.h"

TEST(UtilsPaths, DriveDirAndNameOfLetterUncAndRelativePaths) {
  struct {
    const char *Path, *Drive, *Dir, *Name;
  } Cases[] = {
      {"D:\\a\\b\\c.txt", "D:", "D:\\a\\b", "c.txt"},
      {"D:\\x", "D:", "D:\\", "x"},
      {"D:x", "D:", "D:", "x"},
      {"D:\\a\\", "D:", "D:\\a", ""},
      {"\\\\server\\share\\dir\\f", "\\\\server\\share", "\\\\server\\share\\dir", "f"},
      {"//server/share/dir", "//server/share", "//server/share", "dir"},
      {"\\\\server", "\\\\server", "\\\\", "server"},
      {"dir\\f", "", "dir", "f"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Path);
    EXPECT_EQ(ExtractDrive(C.Path) + "|" + ExtractDir(C.Path) + "|" + ExtractName(C.Path),
              std::string(C.Drive) + "|" + C.Dir + "|" + C.Name);
  }
}

TEST(UtilsVersions, ComparesOnlyTheCommonNumericFields) {
  struct {
    const char *A, *B;
    int Result;
  } Cases[] = {
      {"", "1.0", -1},       {"1.15", "1.15.3", 0},
      {"1.2", "1.15", -1},   {"1.26.7.0", "1.25.9.0", 1},
      {" 7 . 1a", "7.0", 0}, {"1.x", "1.5", 0},
      {"2.x", "1.5", 1},     {"99999999999", "1", 0},  // not a 32-bit number
  };
  for (const auto& C : Cases) EXPECT_EQ(CompareVersionStrings(C.A, C.B), C.Result) << C.A << " vs " << C.B;
}

TEST(UtilsDates, DosPackingKeepsToItsRangeAndSameDateTimeToAMillisecond) {
  // 31 December 2107 23:59:58 is the last time that fits.
  EXPECT_NE(DateTimeToDosDateTime(75971.0 + 86398 / 86400.0), -1);
  EXPECT_EQ(DateTimeToDosDateTime(75972.0), -1);
  EXPECT_EQ(DosDateTimeToDateTime(static_cast<int32_t>((41u << 9 | 2u << 5 | 30u) << 16)), 0);  // 30 February
  EXPECT_TRUE(SameDateTime(44000.5, 44000.5 + 0.9 * OneMillisecond));
  EXPECT_FALSE(SameDateTime(44000.5 + 1.1 * OneMillisecond, 44000.5));
}
