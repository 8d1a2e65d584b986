#include "PasswordRecord.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

namespace {

constexpr double Minute = 1.0 / 1440;
constexpr double Day = 46000.5;  // a noon in 2025

TPasswordRecord Record(const std::string& Password, double SavedAt, int Minutes) {
  return {SavedAt, Minutes, 1, static_cast<std::int32_t>(Password.size()),
          ComposePasswordText(Password, true, [](int N) { return std::string(N, 'x'); })};
}

std::vector<std::uint8_t> FileFor(const TPasswordRecord& R) {
  std::vector<std::uint8_t> File;
  EXPECT_TRUE(BuildPasswordFile(R, 1234, File));
  return File;
}

}  // namespace

TEST(PasswordFile, ScrambledRecordRoundTripsWithATailOf50To249Bytes) {
  std::set<std::size_t> Sizes;
  const std::vector<std::uint8_t> Data(PasswordRecordSize, 0xAB);
  for (std::uint32_t Seed = 0; Seed < 2000; ++Seed) {
    std::vector<std::uint8_t> Buffer, Out(Data.size());
    ASSERT_TRUE(ScrambleBuffer(Data.data(), Data.size(), Seed, Buffer));
    ASSERT_TRUE(Buffer.size() >= 586 && Buffer.size() <= 785) << Buffer.size();
    Sizes.insert(Buffer.size());
    ASSERT_TRUE(UnscrambleBuffer(Buffer.data(), Buffer.size(), Out.data(), Out.size()));
    ASSERT_EQ(Out, Data);
  }
  EXPECT_GT(Sizes.size(), 150u);  // the tail length really varies
}

TEST(PasswordFile, RecordFieldsSitAtTheirOffsets) {
  TPasswordRecordBytes B;
  EncodePasswordRecord(Record("secret", 1.5, -3), B);
  // 1.5 = 0x3FF8000000000000 little-endian, -3, IsReal, length 6, text length 255.
  const std::pair<int, int> Bytes[] = {{6, 0xF8}, {7, 0x3F}, {8, 0xFD}, {11, 0xFF}, {12, 1},
                                       {16, 6},   {20, 255}, {21, 's'}, {27, 'x'},  {275, 'x'}, {276, 0}};
  for (auto [Offset, Value] : Bytes) EXPECT_EQ(B[Offset], Value) << Offset;
  const TPasswordRecord Back = DecodePasswordRecord(B);
  EXPECT_TRUE(Back.SavedAt == 1.5 && Back.Minutes == -3 && Back.Length == 6 && Back.Text.starts_with("secretx"));
}

TEST(PasswordFile, RestoredOnlyWhenEveryCheckPasses) {
  const double NaN = std::numeric_limits<double>::quiet_NaN(), Inf = std::numeric_limits<double>::infinity();
  TPasswordRecord NotReal = Record("pw", Day, 10);
  NotReal.IsReal = 0;
  TPasswordRecord NegativeLength = Record("pw", Day, 10);
  NegativeLength.Length = -2;
  const std::string Max(255, 'm');
  const struct {
    const char* Why;
    TPasswordRecord R;
    double Now;
    bool Restored;
  } Cases[] = {{"within the limit", Record("open sesame", Day, 5), Day + 5.5 * Minute, true},
               {"past the limit", Record("open sesame", Day, 5), Day + 6.01 * Minute, false},
               {"saved later than now", Record("open sesame", Day, 5), Day - 6.01 * Minute, false},
               {"zero limit", Record("pw", Day, 0), Day + 0.5 * Minute, true},
               {"zero limit passed", Record("pw", Day, 0), Day + Minute, false},
               {"negative limit", Record("pw", Day, -1), Day, false},
               {"zero stamp", Record("pw", 0, -1), Day, true},
               {"not real", NotReal, Day, false},
               {"empty", Record("", Day, 10), Day, false},
               {"longest", Record(Max, Day, 10), Day, true},
               {"too long", Record(Max + "m", Day, 10), Day, false},
               {"negative length", NegativeLength, Day, false},
               {"NaN stamp", Record("pw", NaN, 0x7FFFFFFF), Day, false},
               {"infinite stamp", Record("pw", Inf, 0x7FFFFFFF), Day, false},
               {"huge stamp", Record("pw", -1e300, 0x7FFFFFFF), Day, false}};
  for (const auto& C : Cases) {
    const auto File = FileFor(C.R);
    EXPECT_EQ(ReadPasswordFile(File.data(), File.size(), C.Now),
              C.Restored ? std::optional(C.R.Text.substr(0, C.R.Length)) : std::nullopt)
        << C.Why;
  }
}

TEST(PasswordFile, TruncatedCorruptedFilesRestoreNothingAndThePasswordIsNotInTheClear) {
  const auto File = FileFor(Record("pw", Day, 10));
  EXPECT_EQ(ReadPasswordFile(File.data(), 0, Day), std::nullopt);
  EXPECT_EQ(ReadPasswordFile(File.data(), 535, Day), std::nullopt);
  EXPECT_EQ(ReadPasswordFile(File.data(), 536, Day), "pw");
  auto BadTable = File;
  std::swap(BadTable[0], BadTable[1]);  // a different table decodes other bytes
  std::fill(BadTable.begin() + 2, BadTable.begin() + 256, BadTable[0]);
  EXPECT_EQ(ReadPasswordFile(BadTable.data(), BadTable.size(), Day), std::nullopt);
  EXPECT_FALSE(std::string(File.begin(), File.end()).find("pwxxxxx") != std::string::npos);
}
