// Path names, numbers and version comparison.
#include <gtest/gtest.h>

#include "PathNames.h"
#include "StrUtils.h"
#include "VersionCompare.h"

TEST(UtilsPaths, KindDriveDirAndNameOfLetterUncAndRelativePaths) {
  using enum TPathKind;
  struct {
    const char *Path, *Drive, *Dir, *Name;
    TPathKind Kind;
  } Cases[] = {
      {"D:\\a\\b\\c.txt", "D:", "D:\\a\\b", "c.txt", DriveFull},
      {"d:/x", "d:", "d:/", "x", DriveFull},
      {"D:x", "D:", "D:", "x", DriveRelative},
      {"D:\\a\\", "D:", "D:\\a", "", DriveFull},
      {"\\\\server\\share\\dir\\f", "\\\\server\\share", "\\\\server\\share\\dir", "f", Network},
      {"//server/share/dir", "//server/share", "//server/share", "dir", Network},
      {"/\\server", "/\\server", "/\\", "server", Network},
      {"\\a\\b", "", "\\a", "b", RootRelative},
      {"1:x", "", "1:", "x", Relative},
      {"dir\\f", "", "dir", "f", Relative},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Path);
    EXPECT_EQ(ExtractDrive(C.Path) + "|" + ExtractDir(C.Path) + "|" + ExtractName(C.Path),
              std::string(C.Drive) + "|" + C.Dir + "|" + C.Name);
    EXPECT_EQ(ClassifyPath(C.Path), C.Kind);
  }
}

TEST(UtilsVersions, ComparesOnlyTheCommonNumericFields) {
  struct {
    const char *A, *B;
    int Result;
  } Cases[] = {
      {"", "1.0", -1},       {"1.15", "1.15.3", 0}, {"1.2", "1.15", -1},
      {" 7 . 1a", "7.0", 0}, {"2.x", "1.5", 1},     {"99999999999", "1", 0},  // not a 32-bit number
  };
  for (const auto& C : Cases) EXPECT_EQ(CompareVersionStrings(C.A, C.B), C.Result) << C.A << " vs " << C.B;
}

TEST(UtilsNumbers, StrictTakesOnlyAWholeDecimalNumberWithin32Bits) {
  for (const auto& [Text, Value] : {std::pair("+7", 7), std::pair("-2147483648", INT32_MIN), std::pair("007", 7)})
    EXPECT_EQ(ParseInt32(Text, TNumberRule::Strict), Value) << Text;
  for (const char* Text : {"", "2147483648", "-", "+-1", "0x10", "$10", " 1", "1 ", "1a", "99999999999999999999"})
    EXPECT_EQ(ParseInt32(Text, TNumberRule::Strict), std::nullopt) << '"' << Text << '"';
}
