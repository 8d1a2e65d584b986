#include "Identity.h"

#include <gtest/gtest.h>

TEST(Identity, StoredNamesUnscrambleToVendorAndTitle) {
  const std::string Vendor = UnscrambleString(ScrambledVendorName, true, IdentityScrambleOffset);
  const std::string Title = UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset);
  EXPECT_EQ(Vendor, "Vaultline");
  EXPECT_EQ(Title, "Mount");
  EXPECT_EQ(UnscrambleString(Vendor, false, IdentityScrambleOffset), ScrambledVendorName);
}

TEST(Identity, UnscrambleReversesAndWrapsBytes) {
  EXPECT_EQ(UnscrambleString("", true, 11), "");
  EXPECT_EQ(UnscrambleString("ab", true, 1), "cb");
  EXPECT_EQ(UnscrambleString(std::string(1, '\xFA'), true, 11), std::string(1, '\x05'));
  EXPECT_EQ(UnscrambleString(std::string(1, '\x05'), false, 11), std::string(1, '\xFA'));
}
