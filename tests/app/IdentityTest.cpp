#include "Identity.h"

#include <gtest/gtest.h>

TEST(Identity, StoredNamesUnscrambleToVendorAndTitleAndBack) {
  EXPECT_EQ(UnscrambleString(ScrambledVendorName, true, IdentityScrambleOffset), "Vaultline");
  EXPECT_EQ(UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset), "Mount");
  EXPECT_EQ(UnscrambleString("Vaultline", false, IdentityScrambleOffset), ScrambledVendorName);
  // Bytes wrap around instead of turning negative.
  EXPECT_EQ(UnscrambleString("\xFA", true, 11), "\x05");
}
