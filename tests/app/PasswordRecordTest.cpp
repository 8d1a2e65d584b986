// The remembered-password record and its file, sealed by a stand-in for the
// data protection.
#include "PasswordRecord.h"

#include <gtest/gtest.h>

#include <limits>

#include "PasswordFiles.h"

namespace {

using std::chrono::seconds;
constexpr seconds Minute(60);
// Noon of 9 December 2025, day 46000.5 in the record.
constexpr TLocalTime Day = std::chrono::local_days{std::chrono::year{2025} / 12 / 9} + std::chrono::hours(12);

TPasswordRecord Record(std::string_view Password, TLocalTime SavedAt, int Minutes) {
  return {SecretText(Password), SavedAt, Minutes};
}

std::optional<std::string> Restored(std::string_view File, TLocalTime Now) {
  const TPasswordFileRead Read = ReadPasswordFile(File, Now, Unseal);
  if (!Read.Accepted) return std::nullopt;
  return std::string(Read.Accepted->Password.view());
}

}  // namespace

TEST(PasswordRecord, EveryPasswordTakesTheSameRoomAndABrokenRecordIsRefused) {
  const TLocalTime Early = std::chrono::local_days{std::chrono::year{1899} / 12 / 31} + std::chrono::hours(12);
  const SecretText Plain = EncodePasswordRecord(Record("secret", Early, -3));
  EXPECT_EQ(Plain.size(), PasswordRecordSize);
  EXPECT_EQ(EncodePasswordRecord(Record(std::string(255, 'm'), Day, 5)).size(), PasswordRecordSize);
  const auto Back = DecodePasswordRecord(Plain.view());
  ASSERT_TRUE(Back);
  EXPECT_TRUE(Back->Password == "secret" && Back->SavedAt == Early && Back->Minutes == -3);
  std::string Broken(Plain.view());
  Broken[12] = 0;  // a length of 0 with a password after it
  EXPECT_FALSE(DecodePasswordRecord(Broken));
  EXPECT_FALSE(DecodePasswordRecord(Plain.view().substr(1)));
}

TEST(PasswordRecord, AcceptedOnlyWithinItsMinutes) {
  const std::string Max(255, 'm');
  const struct {
    const char* Why;
    TPasswordRecord R;
    TLocalTime Now;
    bool Accepted;
  } Cases[] = {{"within the limit", Record("open sesame", Day, 5), Day + 5 * Minute + seconds(30), true},
               {"past the limit", Record("open sesame", Day, 5), Day + 6 * Minute, false},
               {"saved later than now", Record("open sesame", Day, 5), Day - 6 * Minute, false},
               {"zero limit", Record("pw", Day, 0), Day + seconds(59), true},
               {"zero limit passed", Record("pw", Day, 0), Day + Minute, false},
               {"negative limit", Record("pw", Day, -1), Day, false},
               {"empty", Record("", Day, 10), Day, false},
               {"longest", Record(Max, Day, 10), Day, true},
               {"too long", Record(Max + "m", Day, 10), Day, false}};
  for (const auto& C : Cases) EXPECT_EQ(IsPasswordRecordAccepted(C.R, C.Now), C.Accepted) << C.Why;
}

// Without a record to keep, or when sealing fails, the magic alone: not even
// the length is left.
TEST(PasswordFile, OnlyACurrentFileIsKeptAndOnlyAnAcceptedRecordRestored) {
  const std::string File = BuildPasswordFile(Record("pw", Day, 5), true, Seal);
  EXPECT_EQ(BuildPasswordFile(Record("pw", Day, -1), true, Seal), NoPasswordFile());
  EXPECT_EQ(
      BuildPasswordFile(Record("pw", Day, 5), true, [](std::string_view) { return std::optional<std::string>(); }),
      NoPasswordFile());
  std::string OtherKey = File;
  OtherKey[PasswordFileMagic.size()] = 'S';
  const std::string Old = OldPasswordFile("old pw", 46000.5, 5);
  const double NaN = std::numeric_limits<double>::quiet_NaN(), Inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* Why;
    std::string File;
    TLocalTime Now;
    std::optional<std::string> Restored;
    bool Rewrite = true;
  } Cases[] = {{"current", File, Day + 5 * Minute, "pw", false},
               {"no password", NoPasswordFile(), Day, std::nullopt, false},
               {"expired", File, Day + 6 * Minute, std::nullopt},
               {"unreadable", OtherKey, Day, std::nullopt},
               {"old", Old, Day + 5 * Minute, "old pw"},
               {"old, longest", OldPasswordFile(std::string(255, 'o'), DayCount(Day), 5), Day, std::string(255, 'o')},
               {"old, truncated", Old.substr(0, 535), Day, std::nullopt},
               {"old, not real", OldPasswordFile("old pw", DayCount(Day), 5, 0), Day, std::nullopt},
               {"old, too long", OldPasswordFile(std::string(256, 'o'), DayCount(Day), 5), Day, std::nullopt},
               {"old, time zero", OldPasswordFile("pw", 0, 0x7FFFFFFF), Day, std::nullopt},
               {"old, time rounding to zero", OldPasswordFile("pw", 1e-12, 0x7FFFFFFF), Day, std::nullopt},
               {"old, time NaN", OldPasswordFile("pw", NaN, 0x7FFFFFFF), Day, std::nullopt},
               {"old, time infinite", OldPasswordFile("pw", Inf, 0x7FFFFFFF), Day, std::nullopt},
               {"old, time before 1899", OldPasswordFile("pw", -1e300, 0x7FFFFFFF), Day, std::nullopt},
               {"unknown", "some other file", Day, std::nullopt}};
  for (const auto& C : Cases) {
    EXPECT_EQ(ReadPasswordFile(C.File, C.Now, Unseal).Rewrite, C.Rewrite) << C.Why;
    EXPECT_EQ(Restored(C.File, C.Now), C.Restored) << C.Why;
  }
  // A migrated record keeps its own time, so moving it on does not extend it.
  const auto Migrated = ReadPasswordFile(Old, Day, Unseal).Accepted;
  ASSERT_TRUE(Migrated);
  EXPECT_TRUE(Migrated->SavedAt == Day && Migrated->Minutes == 5);
}
