#include "PasswordRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <random>

#include "StrUtils.h"

namespace {

constexpr std::size_t OffsetSavedAt = 0;
constexpr std::size_t OffsetMinutes = 8;
constexpr std::size_t OffsetIsReal = 12;
constexpr std::size_t OffsetLength = 16;
constexpr std::size_t OffsetTextLength = 20;
constexpr std::size_t OffsetText = 21;

// Little-endian on every target we build for; the layout is fixed by the file.
void PutU32(std::uint8_t* P, std::uint32_t V) {
  for (int i = 0; i < 4; ++i) P[i] = static_cast<std::uint8_t>(V >> (8 * i));
}
std::uint32_t GetU32(const std::uint8_t* P) {
  std::uint32_t V = 0;
  for (int i = 0; i < 4; ++i) V |= static_cast<std::uint32_t>(P[i]) << (8 * i);
  return V;
}
void PutF64(std::uint8_t* P, double D) {
  std::uint64_t V;
  std::memcpy(&V, &D, sizeof V);
  for (int i = 0; i < 8; ++i) P[i] = static_cast<std::uint8_t>(V >> (8 * i));
}
double GetF64(const std::uint8_t* P) {
  std::uint64_t V = 0;
  for (int i = 0; i < 8; ++i) V |= static_cast<std::uint64_t>(P[i]) << (8 * i);
  double D;
  std::memcpy(&D, &V, sizeof D);
  return D;
}

std::uint8_t DrawByte(std::mt19937& Rng) { return static_cast<std::uint8_t>(Rng() >> 24); }

}  // namespace

TSubstitutionTable MakeSubstitutionTable(std::uint32_t Seed) {
  std::mt19937 Rng(Seed);
  TSubstitutionTable Table{};
  std::array<bool, SubstitutionTableSize> Used{};
  for (auto& Entry : Table) {
    std::uint8_t R;
    do R = DrawByte(Rng);
    while (Used[R]);
    Used[R] = true;
    Entry = R;
  }
  return Table;
}

void SubstituteBytes(std::uint8_t* Buffer, std::size_t Count, const TSubstitutionTable& Table) {
  for (std::size_t i = 0; i < Count; ++i) Buffer[i] = Table[Buffer[i]];
}

void UnsubstituteBytes(std::uint8_t* Buffer, std::size_t Count, const TSubstitutionTable& Table) {
  TSubstitutionTable Inverse{};
  for (std::size_t i = 0; i < SubstitutionTableSize; ++i)
    Inverse[Table[i]] = static_cast<std::uint8_t>(i);
  for (std::size_t i = 0; i < Count; ++i) Buffer[i] = Inverse[Buffer[i]];
}

bool ScrambleBuffer(const std::uint8_t* Data, std::size_t Count, std::uint32_t Seed,
                    std::vector<std::uint8_t>& Buffer) {
  Buffer.clear();
  const TSubstitutionTable Table = MakeSubstitutionTable(Seed);
  std::mt19937 Rng(Seed);
  const std::size_t TailLength =
      PasswordTailMin + std::uniform_int_distribution<std::size_t>(0, PasswordTailSpread - 1)(Rng);
  try {
    Buffer.resize(SubstitutionTableSize + Count + TailLength);
  } catch (const std::bad_alloc&) {
    Buffer = {};
    return false;
  }
  std::memcpy(Buffer.data(), Table.data(), SubstitutionTableSize);
  std::uint8_t* Body = Buffer.data() + SubstitutionTableSize;
  if (Count) std::memcpy(Body, Data, Count);
  SubstituteBytes(Body, Count, Table);
  for (std::size_t i = SubstitutionTableSize + Count; i < Buffer.size(); ++i)
    Buffer[i] = DrawByte(Rng);
  return true;
}

bool UnscrambleBuffer(const std::uint8_t* Buffer, std::size_t BufferLength, std::uint8_t* Out,
                      std::size_t Count) {
  if (BufferLength < SubstitutionTableSize || BufferLength - SubstitutionTableSize < Count)
    return false;
  TSubstitutionTable Table;
  std::memcpy(Table.data(), Buffer, SubstitutionTableSize);
  if (Count) std::memcpy(Out, Buffer + SubstitutionTableSize, Count);
  UnsubstituteBytes(Out, Count, Table);
  return true;
}

std::string ComposePasswordText(const std::string& Password, bool IsReal,
                                const std::function<std::string(int)>& RandomText) {
  constexpr int TextSize = static_cast<int>(PasswordTextSize);
  // Reserved up front so no grown copy of the password is left behind.
  std::string Text;
  Text.reserve(PasswordTextSize);
  if (Password.size() >= PasswordTextSize) {
    if (IsReal)
      Text.append(Password, 0, PasswordTextSize);
    else
      Text.append(RandomText(TextSize));
  } else {
    const int Length = static_cast<int>(Password.size());
    if (IsReal)
      Text.append(Password);
    else
      Text.append(RandomText(Length));
    Text.append(RandomText(TextSize - Length));
  }
  Text.resize(PasswordTextSize, '_');
  return Text;
}

void EncodePasswordRecord(const TPasswordRecord& Record, TPasswordRecordBytes& Out) {
  Out.fill(0);
  PutF64(&Out[OffsetSavedAt], Record.SavedAt);
  PutU32(&Out[OffsetMinutes], static_cast<std::uint32_t>(Record.Minutes));
  Out[OffsetIsReal] = Record.IsReal;
  PutU32(&Out[OffsetLength], static_cast<std::uint32_t>(Record.Length));
  Out[OffsetTextLength] = static_cast<std::uint8_t>(PasswordTextSize);
  std::memcpy(&Out[OffsetText], Record.Text.data(), std::min(Record.Text.size(), PasswordTextSize));
}

TPasswordRecord DecodePasswordRecord(const TPasswordRecordBytes& Bytes) {
  TPasswordRecord Record;
  Record.SavedAt = GetF64(&Bytes[OffsetSavedAt]);
  Record.Minutes = static_cast<std::int32_t>(GetU32(&Bytes[OffsetMinutes]));
  Record.IsReal = Bytes[OffsetIsReal];
  Record.Length = static_cast<std::int32_t>(GetU32(&Bytes[OffsetLength]));
  Record.Text.assign(reinterpret_cast<const char*>(&Bytes[OffsetText]), PasswordTextSize);
  return Record;
}

double WholeMinutesBetween(double A, double B) {
  double D = A - B;
  if (A > 0 && B < 0)
    D -= 0.5;
  else if (A < -1 && B > -1)
    D += 0.5;
  return std::trunc((std::fabs(D) + 2.2204460493e-16) * 1440);
}

bool IsPasswordRecordAccepted(const TPasswordRecord& Record, double Now) {
  if (Record.Length < 1 || Record.Length > static_cast<std::int32_t>(PasswordTextSize)) return false;
  if (Record.IsReal == 0) return false;
  if (Record.SavedAt == 0) return true;
  // NaN never compares true, so a garbled stamp is refused here.
  return WholeMinutesBetween(Now, Record.SavedAt) <= static_cast<double>(Record.Minutes);
}

bool BuildPasswordFile(const TPasswordRecord& Record, std::uint32_t Seed,
                       std::vector<std::uint8_t>& File) {
  TPasswordRecordBytes Plain;
  EncodePasswordRecord(Record, Plain);
  const bool Ok = ScrambleBuffer(Plain.data(), Plain.size(), Seed, File);
  WipeBytes(Plain.data(), Plain.size());
  return Ok;
}

std::optional<std::string> ReadPasswordFile(const std::uint8_t* Data, std::size_t Size, double Now) {
  if (Size < PasswordFileHeadSize) return std::nullopt;
  TPasswordRecordBytes Plain;
  if (!UnscrambleBuffer(Data, Size, Plain.data(), Plain.size())) return std::nullopt;
  TPasswordRecord Record = DecodePasswordRecord(Plain);
  WipeBytes(Plain.data(), Plain.size());
  std::optional<std::string> Password;
  if (IsPasswordRecordAccepted(Record, Now)) Password = Record.Text.substr(0, Record.Length);
  WipeString(Record.Text);
  return Password;
}
