// Decoding the packed change records of a directory watch, including
// buffers whose offsets and lengths do not fit.
#include <gtest/gtest.h>

#include <vector>

#include "ChangeRecords.h"

namespace {

// Buffer with one record appended, then zero-filled up to PadTo bytes.
std::vector<uint8_t> AddRecord(std::vector<uint8_t> Buffer, uint32_t Next, uint32_t Action, const std::u16string& Name,
                               uint32_t NameBytes, size_t PadTo = 0) {
  for (uint32_t V : {Next, Action, NameBytes})
    for (int i = 0; i < 4; ++i) Buffer.push_back(uint8_t(V >> (8 * i)));
  for (char16_t C : Name) Buffer.insert(Buffer.end(), {uint8_t(C), uint8_t(C >> 8)});
  if (Buffer.size() < PadTo) Buffer.resize(PadTo);
  return Buffer;
}

TEST(FSChangeMonitorRecords, WalksTheChainAndStopsAtOffsetsOrLengthsThatDoNotFit) {
  const auto Buffer = AddRecord(AddRecord({}, 24, 4, u"x.txt", 10, 24), 0, 5, u"sub\\y\u00e9.txt", 20, 4096);
  const auto Records = DecodeChangeRecords(Buffer.data(), Buffer.size());
  ASSERT_EQ(Records.size(), 2u);
  EXPECT_EQ(Records[0].Action * 10 + Records[1].Action, 45u);
  EXPECT_EQ(Records[0].Name + u"|" + Records[1].Name, u"x.txt|sub\\y\u00e9.txt");

  struct {
    const char* Why;
    std::vector<uint8_t> Buffer;
    size_t Records;
  } Cases[] = {
      {"next offset past the end", AddRecord({}, 4000, 1, u"a", 2), 1},
      {"next header cut off", AddRecord({}, 16, 1, u"a", 2, 24), 1},
      {"next offset back inside the record", AddRecord({}, 8, 1, u"abc", 6, 64), 1},
      {"name longer than what is left", AddRecord({}, 0, 1, u"ab", 0xFFFFFFF0u), 0},
      {"too small for a header", std::vector<uint8_t>(11, 0), 0},
      {"zeroed: one empty record", std::vector<uint8_t>(4096, 0), 1},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(DecodeChangeRecords(C.Buffer.data(), C.Buffer.size()).size(), C.Records) << C.Why;
  const auto Odd = AddRecord({}, 0, 3, u"ab", 3);  // an odd name length drops the half unit
  EXPECT_EQ(DecodeChangeRecords(Odd.data(), Odd.size()).at(0).Name, u"a");
}

}  // namespace
