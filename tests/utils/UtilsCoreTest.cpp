// Path names, version comparison, arrays, date packing and message texts.
#include <gtest/gtest.h>

#include "Arrays.h"
#include "DateTimes.h"
#include "PathNames.h"
#include "UtilsStrings.h"
#include "VersionCompare.h"

TEST(UtilsPaths, DriveOfLetterUncAndRelativePaths) {
  EXPECT_EQ(ExtractDrive("D:\\x\\y"), "D:");
  EXPECT_EQ(ExtractDrive("D:x"), "D:");
  EXPECT_EQ(ExtractDrive("\\\\server\\share\\dir\\f"), "\\\\server\\share");
  EXPECT_EQ(ExtractDrive("//server/share/dir"), "//server/share");
  EXPECT_EQ(ExtractDrive("\\\\server"), "\\\\server");
  EXPECT_EQ(ExtractDrive("dir\\f"), "");
  EXPECT_EQ(ExtractDrive("\\dir\\f"), "");
}

TEST(UtilsPaths, DirKeepsRootSeparatorAndDropsOthers) {
  EXPECT_EQ(ExtractDir("D:\\x"), "D:\\");
  EXPECT_EQ(ExtractDir("D:x"), "D:");
  EXPECT_EQ(ExtractDir("\\a\\b"), "\\a");
  EXPECT_EQ(ExtractDir("D:\\a\\b\\c.txt"), "D:\\a\\b");
  EXPECT_EQ(ExtractDir("a\\b.txt"), "a");
  EXPECT_EQ(ExtractDir("\\\\server\\share\\f"), "\\\\server\\share");
  EXPECT_EQ(ExtractDir("\\\\f"), "\\\\");
  EXPECT_EQ(ExtractDir("b.txt"), "");
  EXPECT_EQ(ExtractName("D:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractName("a/b"), "b");
  EXPECT_EQ(ExtractName("\\\\server\\share"), "share");
  EXPECT_EQ(ExtractName("D:\\a\\"), "");
  EXPECT_EQ(IncludeTrailingBackslash("D:\\a"), "D:\\a\\");
  EXPECT_EQ(IncludeTrailingBackslash("D:/a/"), "D:/a/");
  EXPECT_EQ(RemoveFileExt("tray.vm.exe"), "tray.vm");
  EXPECT_EQ(RemoveFileExt("tray"), "tray");
}

TEST(UtilsVersions, ComparesOnlyTheCommonNumericFields) {
  EXPECT_EQ(CompareVersionStrings("", ""), 0);
  EXPECT_EQ(CompareVersionStrings("", "1.0"), -1);
  EXPECT_EQ(CompareVersionStrings("1.15", "1.15.3"), 0);
  EXPECT_EQ(CompareVersionStrings("1.15", "1.19"), -1);
  EXPECT_EQ(CompareVersionStrings("1.2", "1.15"), -1);
  EXPECT_EQ(CompareVersionStrings("1.26.7.0", "1.25.9.0"), 1);
  EXPECT_EQ(CompareVersionStrings(" 7 . 1a", "7.0"), 0);
  EXPECT_EQ(CompareVersionStrings("1.x", "1.5"), 0);
  EXPECT_EQ(CompareVersionStrings("2.x", "1.5"), 1);
  EXPECT_EQ(CompareVersionStrings("99999999999", "1"), 0);  // not a 32-bit number
  EXPECT_EQ(CompareVersionStrings("-1", "0"), -1);
}

TEST(UtilsArrays, IndexRemoveAppendKeepOrder) {
  TIntArray A;
  EXPECT_EQ(ArrayAppend(A, 5), 0);
  EXPECT_EQ(ArrayAppend(A, 7), 1);
  EXPECT_EQ(ArrayAppend(A, 5), 2);
  EXPECT_EQ(ArrayIndexOf(A, 7), 1);
  EXPECT_EQ(ArrayIndexOf(A, 9), -1);
  EXPECT_EQ(ArrayRemove(A, 5), 0);
  EXPECT_EQ(A, (TIntArray{7, 5}));
  ArrayDeleteAt(A, 2);
  ArrayDeleteAt(A, -1);
  EXPECT_EQ(A, (TIntArray{7, 5}));
  ArrayDeleteAt(A, 0);
  EXPECT_EQ(A, (TIntArray{5}));
  TStringDynArray S;
  EXPECT_EQ(ArrayAppend(S, std::string("a")), 0);
  EXPECT_EQ(ArrayAppend(S, std::string("b")), 1);
  EXPECT_EQ(S, (TStringDynArray{"a", "b"}));
}

TEST(UtilsArrays, BoundedWideCopyAlwaysTerminates) {
  wchar_t Buf[6] = {L'x', L'x', L'x', L'x', L'x', L'x'};
  WideStrLCopy(Buf, L"abcdefgh", 0);
  EXPECT_EQ(Buf[0], 0);
  EXPECT_EQ(Buf[1], L'x');
  EXPECT_EQ(std::wstring(WideStrLCopy(Buf, L"abcdefgh", 5)), L"abcde");
  EXPECT_EQ(std::wstring(WideStrLCopy(Buf, L"ab", 5)), L"ab");
}

TEST(UtilsDates, DosPackingRoundTripsToEvenSeconds) {
  // 15 June 2021 13:45:30, 2-second FAT resolution.
  const double Stamp = 44362.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
  const int32_t Packed = DateTimeToDosDateTime(Stamp);
  EXPECT_EQ(static_cast<uint32_t>(Packed), ((41u << 9 | 6u << 5 | 15u) << 16) | (13u << 11 | 45u << 5 | 15u));
  EXPECT_TRUE(SameDateTime(DosDateTimeToDateTime(Packed), Stamp));
  EXPECT_TRUE(SameDateTime(DosDateTimeToDateTime(DateTimeToDosDateTime(Stamp + 1 / 86400.0)), Stamp));
  // 1 January 1980 00:00:00 and 31 December 2107 23:59:58 are the ends.
  EXPECT_EQ(DateTimeToDosDateTime(29221.0), (1 << 5 | 1) << 16);
  EXPECT_NE(DateTimeToDosDateTime(75971.0 + 86398 / 86400.0), -1);
  EXPECT_EQ(DateTimeToDosDateTime(29220.9), -1);
  EXPECT_EQ(DateTimeToDosDateTime(75972.0), -1);
  EXPECT_EQ(DosDateTimeToDateTime(-1), 0);
  EXPECT_EQ(DosDateTimeToDateTime(static_cast<int32_t>((41u << 9 | 2u << 5 | 30u) << 16)), 0);  // 30 February
}

TEST(UtilsDates, SameTimeMeansLessThanOneMillisecondApart) {
  EXPECT_TRUE(SameDateTime(44000.5, 44000.5 + 0.9 * OneMillisecond));
  EXPECT_FALSE(SameDateTime(44000.5, 44000.5 + 1.1 * OneMillisecond));
  EXPECT_FALSE(SameDateTime(44000.5 + 1.1 * OneMillisecond, 44000.5));
}

TEST(UtilsMessages, TextsAreFormattedWithThePathAndReplaceableByName) {
  EXPECT_EQ(FormatUtilsString(SFileNotExists, ""), "File or folder \"\" is not exists");
  EXPECT_EQ(FormatUtilsString(SErrFileWrite, "C:\\a"), "\"C:\\a\" write access denied");
  const std::string Saved = SDeleteItem.Text;
  EXPECT_TRUE(SetUtilsString("plutilsmini.s_deleteitem", "Supprimer \"%s\" ?"));
  EXPECT_EQ(FormatUtilsString(SDeleteItem, "x"), "Supprimer \"x\" ?");
  EXPECT_FALSE(SetUtilsString("plutilsmini.s_nothing", "x"));
  SDeleteItem.Text = Saved;
}
