#include <gtest/gtest.h>

#include "IniValues.h"

TEST(MinIniFileValues, NumbersAreTrueUnlessZero) {
  for (const char* Text : {"1", "2", "-1", "1.5", "+7", ".5", "0.001", "1e5", "2E-3", "00010"})
    EXPECT_TRUE(IniTextToBool(Text, false)) << Text;
  for (const char* Text : {"0", "0.0", "-0", "000", "0e9", ".0", "0."})
    EXPECT_FALSE(IniTextToBool(Text, true)) << Text;
  // Zero is decided by the digits, not by a value that could underflow.
  EXPECT_TRUE(IniTextToBool("1e-400", false));
}

TEST(MinIniFileValues, WordsInAnyLetterCase) {
  for (const char* Text : {"true", "TRUE", "True", "tRuE"}) EXPECT_TRUE(IniTextToBool(Text, false)) << Text;
  for (const char* Text : {"false", "FALSE", "False", "fAlSe"}) EXPECT_FALSE(IniTextToBool(Text, true)) << Text;
}

TEST(MinIniFileValues, AnythingElseGivesTheDefault) {
  for (const char* Text : {"", "yes", "on", "1x", "1.2.3", "e5", "1e", "1e+", "+", "-", ".", "truex", "tru", " 1",
                           "1 "}) {
    EXPECT_TRUE(IniTextToBool(Text, true)) << '"' << Text << '"';
    EXPECT_FALSE(IniTextToBool(Text, false)) << '"' << Text << '"';
  }
}

TEST(MinIniFileValues, SplitsZeroTerminatedNamesInOrder) {
  const char List[] = "Common\0Zeta\0\xC3\xA4pfel\0Alpha\0";
  EXPECT_EQ(SplitZeroTerminatedList(List, sizeof(List) - 1),
            (std::vector<std::string>{"Common", "Zeta", "\xC3\xA4pfel", "Alpha"}));
  EXPECT_TRUE(SplitZeroTerminatedList(List, 0).empty());
  // A list cut short by a full buffer still yields its last, partial name.
  EXPECT_EQ(SplitZeroTerminatedList("Ab\0Cd", 5), (std::vector<std::string>{"Ab", "Cd"}));
}
