#include <gtest/gtest.h>

#include "IniValues.h"

TEST(MinIniFileValues, NumbersAreTrueUnlessZeroWordsInAnyCaseElseTheDefaultAndNameListsSplitInOrder) {
  for (const char* Text : {"2", "-1", "+7", ".5", "2E-3", "00010", "tRuE", "1e-400"})
    EXPECT_TRUE(IniTextToBool(Text, false)) << Text;
  for (const char* Text : {"-0", "0e9", ".0", "0.", "fAlSe"}) EXPECT_FALSE(IniTextToBool(Text, true)) << Text;
  for (const char* Text : {"", "yes", "1x", "1.2.3", "e5", "1e", "1e+", "+", ".", "truex", " 1"})
    EXPECT_TRUE(IniTextToBool(Text, true) && !IniTextToBool(Text, false)) << '"' << Text << '"';
  // A list cut short by a full buffer still yields its last, partial name.
  EXPECT_EQ(SplitZeroTerminatedList("Zeta\0Alpha\0Cd", 13), (std::vector<std::string>{"Zeta", "Alpha", "Cd"}));
  EXPECT_TRUE(SplitZeroTerminatedList("Ab", 0).empty());
}
