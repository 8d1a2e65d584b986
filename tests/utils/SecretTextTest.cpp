// Password text: UTF-16 to UTF-8, growth and moves.
#include "SecretText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Utf8Of(std::wstring_view Units) {
  return std::string(SecretText::FromWide(Units.data(), Units.size()).view());
}

}  // namespace

TEST(SecretText, WideTextBecomesUtf8AndBrokenSurrogatesBecomeReplacementChars) {
  const std::string Bad = "\xEF\xBF\xBD";  // U+FFFD
  const struct {
    std::wstring Units;
    std::string Utf8;
  } Cases[] = {{L"", ""},
               {L"pw 1", "pw 1"},
               {{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF}, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
               {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},  // U+1F600
               {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},  // U+10FFFF, the last one
               {{L'a', 0xD800}, "a" + Bad},             // high at the end
               {{0xD800, L'b'}, Bad + "b"},             // high before a non-surrogate
               {{0xD800, 0xD800, 0xDC00}, Bad + "\xF0\x90\x80\x80"},
               {{0xDC00, 0xD800}, Bad + Bad},               // reversed pair
               {{L'x', 0, L'y'}, std::string("x\0y", 3)}};  // the count rules, not a NUL
  for (const auto& C : Cases) EXPECT_EQ(Utf8Of(C.Units), C.Utf8) << C.Utf8;
}

TEST(SecretText, KeepsItsBytesThroughGrowthMovesAndSelfReferences) {
  SecretText S;
  std::string Expected;
  for (char C = 'a'; C <= 'z'; ++C) S.Append(C), Expected += C;
  S.Append(S.view());  // grows while reading its own old block
  EXPECT_EQ(S, Expected + Expected);
  S = S.view().substr(3, 5);
  EXPECT_EQ(S, "defgh");
  SecretText Moved = std::move(S);
  EXPECT_TRUE(S.empty() && S.view().empty() && Moved == "defgh");
  Moved.Clear();
  EXPECT_TRUE(Moved.empty() && *Moved.data() == 0);
}
