#include "PasswordRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace {

constexpr double OneMinute = 1.0 / 1440;
constexpr double SomeDay = 46000.5;  // a date in 2025, noon

std::string Filler(int N) { return std::string(static_cast<std::size_t>(N), 'x'); }

TPasswordRecord RealRecord(const std::string& Password, double SavedAt, int Minutes) {
  TPasswordRecord R;
  R.SavedAt = SavedAt;
  R.Minutes = Minutes;
  R.IsReal = 1;
  R.Length = static_cast<std::int32_t>(Password.size());
  R.Text = ComposePasswordText(Password, true, Filler);
  return R;
}

std::vector<std::uint8_t> FileFor(const TPasswordRecord& R, std::uint32_t Seed = 1234) {
  std::vector<std::uint8_t> File;
  EXPECT_TRUE(BuildPasswordFile(R, Seed, File));
  return File;
}

std::optional<std::string> Read(const std::vector<std::uint8_t>& File, double Now) {
  return ReadPasswordFile(File.data(), File.size(), Now);
}

}  // namespace

TEST(PasswordScrambling, TableIsAPermutationDrawnFromTheSeed) {
  for (std::uint32_t Seed : {0u, 1u, 77777u, 0xFFFFFFFFu}) {
    TSubstitutionTable T = MakeSubstitutionTable(Seed);
    std::set<int> Values(T.begin(), T.end());
    EXPECT_EQ(Values.size(), 256u) << Seed;
  }
  EXPECT_EQ(MakeSubstitutionTable(5), MakeSubstitutionTable(5));
  EXPECT_NE(MakeSubstitutionTable(5), MakeSubstitutionTable(6));
}

TEST(PasswordScrambling, UnsubstituteUndoesSubstitute) {
  const TSubstitutionTable T = MakeSubstitutionTable(42);
  std::vector<std::uint8_t> Data(256);
  for (int i = 0; i < 256; ++i) Data[i] = static_cast<std::uint8_t>(i);
  auto Copy = Data;
  SubstituteBytes(Copy.data(), Copy.size(), T);
  EXPECT_NE(Copy, Data);
  UnsubstituteBytes(Copy.data(), Copy.size(), T);
  EXPECT_EQ(Copy, Data);
}

TEST(PasswordScrambling, BufferHoldsTableDataAndTailOf50To249Bytes) {
  std::set<std::size_t> Sizes;
  const std::vector<std::uint8_t> Data(PasswordRecordSize, 0xAB);
  for (std::uint32_t Seed = 0; Seed < 2000; ++Seed) {
    std::vector<std::uint8_t> Buffer;
    ASSERT_TRUE(ScrambleBuffer(Data.data(), Data.size(), Seed, Buffer));
    ASSERT_GE(Buffer.size(), 586u);
    ASSERT_LE(Buffer.size(), 785u);
    Sizes.insert(Buffer.size());
    std::vector<std::uint8_t> Out(Data.size());
    ASSERT_TRUE(UnscrambleBuffer(Buffer.data(), Buffer.size(), Out.data(), Out.size()));
    ASSERT_EQ(Out, Data);
  }
  EXPECT_GT(Sizes.size(), 150u);  // the tail length really varies
}

TEST(PasswordScrambling, UnscrambleRefusesAShortBuffer) {
  std::vector<std::uint8_t> Buffer(SubstitutionTableSize + 10);
  std::uint8_t Out[11];
  EXPECT_FALSE(UnscrambleBuffer(Buffer.data(), Buffer.size(), Out, 11));
  EXPECT_FALSE(UnscrambleBuffer(Buffer.data(), 100, Out, 0));
  EXPECT_TRUE(UnscrambleBuffer(Buffer.data(), Buffer.size(), Out, 10));
}

TEST(PasswordRecordLayout, FieldsSitAtTheirOffsets) {
  TPasswordRecord R = RealRecord("secret", 1.5, -3);
  TPasswordRecordBytes B;
  EncodePasswordRecord(R, B);
  EXPECT_EQ(B[7], 0x3F);  // 1.5 = 0x3FF8000000000000, little-endian
  EXPECT_EQ(B[6], 0xF8);
  EXPECT_EQ(B[8], 0xFD);
  EXPECT_EQ(B[11], 0xFF);
  EXPECT_EQ(B[12], 1);
  EXPECT_EQ(B[16], 6);
  EXPECT_EQ(B[20], 255);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&B[21]), 6), "secret");
  EXPECT_EQ(B[21 + 6], 'x');
  EXPECT_EQ(B[275], 'x');
  EXPECT_EQ(B[276], 0);

  TPasswordRecord Back = DecodePasswordRecord(B);
  EXPECT_EQ(Back.SavedAt, 1.5);
  EXPECT_EQ(Back.Minutes, -3);
  EXPECT_EQ(Back.Length, 6);
  EXPECT_EQ(Back.Text, R.Text);
}

TEST(PasswordRecordLayout, TextKeepsThePasswordOnlyWhenReal) {
  auto Random = [](int N) { return std::string(static_cast<std::size_t>(N), 'r'); };
  EXPECT_EQ(ComposePasswordText("pw", true, Random), "pw" + std::string(253, 'r'));
  EXPECT_EQ(ComposePasswordText("pw", false, Random), std::string(255, 'r'));
  EXPECT_EQ(ComposePasswordText("", true, Random), std::string(255, 'r'));
  const std::string Long(300, 'p');
  EXPECT_EQ(ComposePasswordText(Long, true, Random), std::string(255, 'p'));
  EXPECT_EQ(ComposePasswordText(Long, false, Random), std::string(255, 'r'));
}

TEST(PasswordMinutes, WholeMinutesFollowTheDateTimeRules) {
  EXPECT_EQ(WholeMinutesBetween(SomeDay, SomeDay), 0);
  EXPECT_EQ(WholeMinutesBetween(SomeDay + OneMinute, SomeDay), 1);
  EXPECT_EQ(WholeMinutesBetween(SomeDay, SomeDay + 2.5 * OneMinute), 2);
  EXPECT_EQ(WholeMinutesBetween(SomeDay + 0.99 * OneMinute, SomeDay), 0);
  // Stamps on both sides of 1899-12-30 get the half-day correction.
  EXPECT_EQ(WholeMinutesBetween(0.25, -0.25), 0);
  EXPECT_EQ(WholeMinutesBetween(-1.75, 0.0), 1800);
  EXPECT_TRUE(std::isnan(WholeMinutesBetween(std::nan(""), SomeDay)));
}

TEST(PasswordFile, RestoredWithinTheLimitOnly) {
  const auto File = FileFor(RealRecord("open sesame", SomeDay, 5));
  EXPECT_EQ(Read(File, SomeDay + 4.9 * OneMinute), "open sesame");
  EXPECT_EQ(Read(File, SomeDay + 5.5 * OneMinute), "open sesame");
  EXPECT_EQ(Read(File, SomeDay + 6.01 * OneMinute), std::nullopt);
  EXPECT_EQ(Read(File, SomeDay - 6.01 * OneMinute), std::nullopt);
}

TEST(PasswordFile, ZeroAndNegativeLimits) {
  const auto Zero = FileFor(RealRecord("pw", SomeDay, 0));
  EXPECT_EQ(Read(Zero, SomeDay + 0.5 * OneMinute), "pw");
  EXPECT_EQ(Read(Zero, SomeDay + OneMinute), std::nullopt);
  const auto Negative = FileFor(RealRecord("pw", SomeDay, -1));
  EXPECT_EQ(Read(Negative, SomeDay), std::nullopt);
  // A zero stamp is accepted whatever the time.
  EXPECT_EQ(Read(FileFor(RealRecord("pw", 0, -1)), SomeDay), "pw");
}

TEST(PasswordFile, RefusedWhenNotRealOrLengthOutOfRange) {
  TPasswordRecord NotReal = RealRecord("pw", SomeDay, 10);
  NotReal.IsReal = 0;
  EXPECT_EQ(Read(FileFor(NotReal), SomeDay), std::nullopt);
  EXPECT_EQ(Read(FileFor(RealRecord("", SomeDay, 10)), SomeDay), std::nullopt);
  const std::string Max(255, 'm');
  EXPECT_EQ(Read(FileFor(RealRecord(Max, SomeDay, 10)), SomeDay), Max);
  EXPECT_EQ(Read(FileFor(RealRecord(Max + "m", SomeDay, 10)), SomeDay), std::nullopt);
  TPasswordRecord Negative = RealRecord("pw", SomeDay, 10);
  Negative.Length = -2;
  EXPECT_EQ(Read(FileFor(Negative), SomeDay), std::nullopt);
}

TEST(PasswordFile, GarbledStampIsRefused) {
  for (double Stamp : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       1e300, -1e300}) {
    EXPECT_EQ(Read(FileFor(RealRecord("pw", Stamp, 0x7FFFFFFF)), SomeDay), std::nullopt) << Stamp;
  }
}

TEST(PasswordFile, TruncatedOrCorruptedFilesRestoreNothing) {
  auto File = FileFor(RealRecord("pw", SomeDay, 10));
  EXPECT_EQ(ReadPasswordFile(File.data(), 535, SomeDay), std::nullopt);
  EXPECT_EQ(ReadPasswordFile(File.data(), 536, SomeDay), "pw");
  EXPECT_EQ(ReadPasswordFile(File.data(), 0, SomeDay), std::nullopt);
  auto BadTable = File;
  std::swap(BadTable[0], BadTable[1]);  // a different table decodes other bytes
  std::fill(BadTable.begin() + 2, BadTable.begin() + 256, BadTable[0]);
  EXPECT_EQ(Read(BadTable, SomeDay), std::nullopt);
}

TEST(PasswordFile, WritesDifferPerSeedAndRepeatWithinOne) {
  const TPasswordRecord R = RealRecord("pw", SomeDay, 10);
  EXPECT_EQ(FileFor(R, 99), FileFor(R, 99));
  EXPECT_NE(FileFor(R, 99), FileFor(R, 100));
  const auto File = FileFor(R, 99);
  const std::string Bytes(File.begin(), File.end());
  EXPECT_EQ(Bytes.find("pw" + std::string(5, 'x')), std::string::npos);
}
