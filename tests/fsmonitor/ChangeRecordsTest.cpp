// Decoding the packed change records of a directory watch, including
// buffers whose offsets and lengths do not fit.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ChangeRecords.h"

namespace {

// Appends one record; returns its offset in the buffer.
size_t AddRecord(std::vector<uint8_t>& Buffer, uint32_t Next, uint32_t Action,
                 const std::u16string& Name, uint32_t NameBytes) {
  size_t At = Buffer.size();
  auto Put = [&](uint32_t V) {
    for (int i = 0; i < 4; ++i) Buffer.push_back(uint8_t(V >> (8 * i)));
  };
  Put(Next);
  Put(Action);
  Put(NameBytes);
  for (char16_t C : Name) {
    Buffer.push_back(uint8_t(C));
    Buffer.push_back(uint8_t(C >> 8));
  }
  return At;
}

TEST(FSChangeMonitorRecords, WalksTheChainToTheLastRecord) {
  std::vector<uint8_t> Buffer;
  AddRecord(Buffer, 24, 4, u"x.txt", 10);
  Buffer.resize(24);
  AddRecord(Buffer, 0, 5, u"sub\\y\u00e9.txt", 20);
  Buffer.resize(4096);  // the rest of the read buffer stays zero

  std::vector<TChangeRecord> Records = DecodeChangeRecords(Buffer.data(), Buffer.size());
  ASSERT_EQ(Records.size(), 2u);
  EXPECT_EQ(Records[0].Action, 4u);
  EXPECT_EQ(Records[0].Name, u"x.txt");
  EXPECT_EQ(Records[1].Action, 5u);
  EXPECT_EQ(Records[1].Name, u"sub\\y\u00e9.txt");
}

TEST(FSChangeMonitorRecords, ZeroedBufferIsOneRecordWithoutAction) {
  std::vector<uint8_t> Buffer(4096, 0);
  std::vector<TChangeRecord> Records = DecodeChangeRecords(Buffer.data(), Buffer.size());
  ASSERT_EQ(Records.size(), 1u);
  EXPECT_EQ(Records[0].Action, 0u);
  EXPECT_TRUE(Records[0].Name.empty());
}

TEST(FSChangeMonitorRecords, OutOfRangeOffsetsAndLengthsEndTheWalk) {
  std::vector<uint8_t> Buffer;
  // Next offset points past the end.
  AddRecord(Buffer, 4000, 1, u"a", 2);
  EXPECT_EQ(DecodeChangeRecords(Buffer.data(), Buffer.size()).size(), 1u);

  // Next record's header would be cut off by the end of the buffer.
  Buffer.clear();
  AddRecord(Buffer, 16, 1, u"a", 2);
  Buffer.resize(24);
  EXPECT_EQ(DecodeChangeRecords(Buffer.data(), Buffer.size()).size(), 1u);

  // Next offset back inside the record itself.
  Buffer.clear();
  AddRecord(Buffer, 8, 1, u"abc", 6);
  Buffer.resize(64);
  EXPECT_EQ(DecodeChangeRecords(Buffer.data(), Buffer.size()).size(), 1u);

  // Name longer than what is left.
  Buffer.clear();
  AddRecord(Buffer, 0, 1, u"ab", 0xFFFFFFF0u);
  EXPECT_TRUE(DecodeChangeRecords(Buffer.data(), Buffer.size()).empty());

  // An odd name length drops the half unit.
  Buffer.clear();
  AddRecord(Buffer, 0, 3, u"ab", 3);
  std::vector<TChangeRecord> Odd = DecodeChangeRecords(Buffer.data(), Buffer.size());
  ASSERT_EQ(Odd.size(), 1u);
  EXPECT_EQ(Odd[0].Name, u"a");

  // Too small for even one header.
  EXPECT_TRUE(DecodeChangeRecords(Buffer.data(), 11).empty());
  EXPECT_TRUE(DecodeChangeRecords(nullptr, 0).empty());
}

}  // namespace
