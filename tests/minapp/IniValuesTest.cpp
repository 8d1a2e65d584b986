#include <gtest/gtest.h>

#include "IniValues.h"

TEST(MinIniFileValues, NumbersAreTrueUnlessZeroWordsInAnyCaseElseTheDefault) {
  for (const char* Text : {"2", "-1", "+7", ".5", "2E-3", "00010", "tRuE", "1e-400"})
    EXPECT_TRUE(IniTextToBool(Text, false)) << Text;
  for (const char* Text : {"-0", "0e9", ".0", "0.", "fAlSe"}) EXPECT_FALSE(IniTextToBool(Text, true)) << Text;
  for (const char* Text : {"", "yes", "1x", "1.2.3", "e5", "1e", "1e+", "+", ".", "truex", " 1"})
    EXPECT_TRUE(IniTextToBool(Text, true) && !IniTextToBool(Text, false)) << '"' << Text << '"';
}
