// Strings and command-line words: cutting, searching, quoting, switches.
#include <gtest/gtest.h>

#include "StrUtils.h"

TEST(UtilsStrings, SwitchesMatchNameThenEndOrColonValue) {
  struct {
    std::vector<std::string> Params;
    bool Found;
    std::string Value;
  } Cases[] = {
      {{"-m", "-nd:x"}, true, "x"},
      {{"-ndx"}, false, ""},
      {{"-ND"}, true, ""},
      {{"-ndy", "-nd:C:\\a", "-nd:z"}, true, "C:\\a"},  // first one wins, value keeps its colons
  };
  for (const auto& C : Cases) {
    std::string Value = "stale";
    EXPECT_EQ(HasParamIn(C.Params, "-nd", Value), C.Found) << C.Value;
    EXPECT_EQ(Value, C.Value);
  }
}

TEST(UtilsStrings, CuttingAndSearching) {
  EXPECT_EQ(TextAfter("\\Device\\Harddisk3\\Partition2", "PARTITION"), "");  // exact search
  EXPECT_EQ(TextAfter("  a = b = c ", "=", false) + "|" + TextAfter("  a = b = c ", "=", true), "b = c|c");
  EXPECT_EQ(TextBefore("  abc  ", '/') + "|" + TextBefore(" a / b / c", '/', true), "abc|a / b");
  std::string Left, Rest = " a . b . c ";
  SplitAt(Rest, '.', true, Left, Rest);  // the source may receive the right part
  EXPECT_EQ(Left + "|" + Rest, "a . b|c");
  SplitAt("115", '.', false, Left, Rest);
  EXPECT_EQ(Left + "|" + Rest, "115|");
  EXPECT_FALSE(StartsWithIgnoreAsciiCase("\xC3\xA4", "\xC3\x84"));  // only a-z fold
  EXPECT_EQ(LastPosOf("aa", "aaa"), 2);
  EXPECT_EQ(CountOf(".", std::string("1.2\0.3.4", 8)), 1);  // stops at NUL
}

TEST(UtilsStrings, QuotingForCommandLines) {
  EXPECT_EQ(EncloseIn("\"a b\"", '"', false) + "|" + EncloseIn("\"", '"', false), "\"a b\"|\"\"");
  EXPECT_EQ(QuoteIfSpaced("abc") + "|" + QuoteIfSpaced("\"C:\\a b\\y.exe"), "abc|\"C:\\a b\\y.exe\"");
}

TEST(UtilsStrings, RandomStringDrawsFromAlphabetDeterministically) {
  const std::string Alphabet = "qwertyuiopasdfghjklzxcvbnm_098765432";
  const std::string Long = RandomString(255, false, 7) + RandomString(255, false, 8) + RandomString(255, false, 9);
  EXPECT_EQ(Long.find_first_not_of(Alphabet), std::string::npos);
  for (char C : Alphabet) EXPECT_NE(Long.find(C), std::string::npos) << C;  // '1' never, all others do
  EXPECT_NE(RandomString(255, false, 12346), RandomString(255, false, 12345));
  EXPECT_EQ(RandomString(255, true, 7).find_first_not_of("QWERTYUIOPASDFGHJKLZXCVBNM_098765432"), std::string::npos);
}

// clear() keeps the buffer, so its old bytes can still be looked at.
template <typename S>
void ExpectWiped(S Text) {
  const auto* Bytes = Text.data();
  const size_t Size = Text.size();
  WipeString(Text);
  EXPECT_TRUE(Text.empty());
  EXPECT_EQ(S(Bytes, Size), S(Size, 0));
}

TEST(UtilsStrings, WipingZeroesTheBytesThatHeldThePassword) {
  ExpectWiped(std::string("a password longer than any short-string buffer"));
  ExpectWiped(std::wstring(L"the same password held as UTF-16 for a wide call"));
}
