// Strings and command-line words: cutting, searching, quoting, switches.
#include <gtest/gtest.h>

#include "StrUtils.h"

TEST(UtilsStrings, SwitchesMatchNameThenEndOrColonValue) {
  std::string Value = "stale";
  EXPECT_TRUE(HasParamIn({"-m", "-nd:x"}, "-nd", Value));
  EXPECT_EQ(Value, "x");
  EXPECT_FALSE(HasParamIn({"-ndx"}, "-nd", Value));
  EXPECT_EQ(Value, "");
  EXPECT_TRUE(HasParamIn({"-ND"}, "-nd", Value));
  EXPECT_EQ(Value, "");
  // The first qualifying parameter wins; the value keeps further colons.
  EXPECT_TRUE(HasParamIn({"-ndy", "-nd:C:\\a", "-nd:z"}, "-nd", Value));
  EXPECT_EQ(Value, "C:\\a");
  EXPECT_FALSE(HasParamIn({}, "-m", Value));
}

TEST(UtilsStrings, TextAfterAndBefore) {
  EXPECT_EQ(TextAfter("\\Device\\Harddisk3\\Partition2", "Partition", true), "2");
  EXPECT_EQ(TextAfter("\\Device\\Harddisk3\\Partition2", "PARTITION", true), "");
  EXPECT_EQ(TextAfter("  a = b = c ", "=", false), "b = c");
  EXPECT_EQ(TextAfter("  a = b = c ", "=", true), "c");
  EXPECT_EQ(TextAfter("abc", "", false), "");
  EXPECT_EQ(TextBefore("  abc  ", '/', false), "abc");
  EXPECT_EQ(TextBefore(" a / b / c", '/', false), "a");
  EXPECT_EQ(TextBefore(" a / b / c", '/', true), "a / b");
}

TEST(UtilsStrings, SplitAtCutsTrimmedTextAndAllowsSourceAsRight) {
  std::string Left, Right;
  SplitAt("1.15.0", '.', false, Left, Right);
  EXPECT_EQ(Left, "1");
  EXPECT_EQ(Right, "15.0");
  SplitAt(" 1 . 15 . 0 ", '.', true, Left, Right);
  EXPECT_EQ(Left, "1 . 15");
  EXPECT_EQ(Right, "0");
  SplitAt("115", '.', false, Left, Right);
  EXPECT_EQ(Left, "115");
  EXPECT_EQ(Right, "");
  std::string Rest = "a.b.c";
  SplitAt(Rest, '.', false, Left, Rest);
  EXPECT_EQ(Left, "a");
  EXPECT_EQ(Rest, "b.c");
}

TEST(UtilsStrings, PrefixesRangesAndPositions) {
  EXPECT_TRUE(StartsWith("", "x"));
  EXPECT_TRUE(StartsWith("ab", "abc"));
  EXPECT_FALSE(StartsWith("abcd", "abc"));
  EXPECT_FALSE(StartsWith("AB", "abc"));
  EXPECT_TRUE(StartsWithIgnoreAsciiCase("-Nd", "-nD:1"));
  EXPECT_FALSE(StartsWithIgnoreAsciiCase("\xC3\xA4", "\xC3\x84"));  // only a-z fold
  EXPECT_TRUE(IsInRange(3, 3, 3));
  EXPECT_EQ(LastPosOf("ab", "abb"), 1);
  EXPECT_EQ(LastPosOf("aa", "aaa"), 2);
  EXPECT_EQ(LastPosOf("", "aaa"), 0);
  EXPECT_EQ(LastCharPosOf('\\', "C:\\a\\b"), 5);
  EXPECT_EQ(LastCharPosOf('/', "C:\\a"), 0);
}

TEST(UtilsStrings, CountOfIsNonOverlappingAndStopsAtNul) {
  EXPECT_EQ(CountOf(".", "1.2.3"), 2);
  EXPECT_EQ(CountOf("aa", "aaaa"), 2);
  EXPECT_EQ(CountOf(".", std::string("1.2\0.3.4", 8)), 1);
  EXPECT_EQ(CountOf("ab", std::string("a\0b", 3)), 0);
}

TEST(UtilsStrings, QuotingForCommandLines) {
  EXPECT_EQ(EncloseIn("", '"', false), "\"\"");
  EXPECT_EQ(EncloseIn("a b", '"', false), "\"a b\"");
  EXPECT_EQ(EncloseIn("\"a b\"", '"', false), "\"a b\"");
  EXPECT_EQ(EncloseIn("\"", '"', false), "\"\"");
  EXPECT_EQ(QuoteIfHasSpaces("", '"'), "");
  EXPECT_EQ(QuoteIfHasSpaces("abc", '"'), "abc");
  EXPECT_EQ(QuoteIfSpaced("C:\\x\\y.exe"), "C:\\x\\y.exe");
  EXPECT_EQ(QuoteIfSpaced("\"C:\\a b\\y.exe"), "\"C:\\a b\\y.exe\"");
  EXPECT_EQ(QuoteIfSpaced("C:\\a b\\y.exe\""), "\"C:\\a b\\y.exe\"");
  EXPECT_EQ(QuoteIfSpaced("a \"b\" c"), "\"a \"b\" c\"");
}

TEST(UtilsStrings, CommandLineQuotesProgramPathWithBlank) {
  EXPECT_EQ(MakeCommandLine("C:\\Program Files\\VeraCrypt\\VeraCrypt.exe", "/q /d X"),
            "\"C:\\Program Files\\VeraCrypt\\VeraCrypt.exe\" /q /d X");
  EXPECT_EQ(MakeCommandLine("\"C:\\Program Files\\V.exe\"", "/q"), "\"C:\\Program Files\\V.exe\" /q");
  EXPECT_EQ(MakeCommandLine("C:\\Tools\\V.exe", ""), "C:\\Tools\\V.exe ");
}

TEST(UtilsStrings, RandomStringDrawsFromAlphabetDeterministically) {
  EXPECT_EQ(RandomString(0, false, 1), "");
  std::string Lower = RandomString(255, false, 12345);
  ASSERT_EQ(Lower.size(), 255u);
  EXPECT_EQ(Lower.find_first_not_of("qwertyuiopasdfghjklzxcvbnm_098765432"), std::string::npos);
  EXPECT_NE(RandomString(255, false, 12346), Lower);
  std::string Upper = RandomString(255, true, 12345);
  EXPECT_EQ(Upper.find_first_not_of("QWERTYUIOPASDFGHJKLZXCVBNM_098765432"), std::string::npos);
  // All 36 characters turn up in a long enough run; '1' never does.
  std::string Long = RandomString(255, false, 7) + RandomString(255, false, 8) + RandomString(255, false, 9);
  for (char C : std::string("qwertyuiopasdfghjklzxcvbnm_098765432")) EXPECT_NE(Long.find(C), std::string::npos) << C;
  EXPECT_EQ(Long.find('1'), std::string::npos);
}

TEST(UtilsStrings, FormatTextFillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatText("Delete \"%s\"?", {"C:\\a b"}), "Delete \"C:\\a b\"?");
  EXPECT_EQ(FormatText("%s-%s 100%%", {"a", "b"}), "a-b 100%");
}
