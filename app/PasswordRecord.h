// The remembered-password file "1.d": a random substitution table, the
// 280-byte record scrambled with it, and a random tail. Pure byte work, no
// Windows calls, so it runs natively under the sanitizers and the fuzzer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

constexpr std::size_t SubstitutionTableSize = 256;
constexpr std::size_t PasswordRecordSize = 280;
constexpr std::size_t PasswordTextSize = 255;
constexpr std::size_t PasswordFileHeadSize = SubstitutionTableSize + PasswordRecordSize;  // 536
constexpr std::size_t PasswordTailMin = 50;
constexpr std::size_t PasswordTailSpread = 200;  // tail is 50..249 bytes
constexpr std::size_t PasswordFileReadLimit = 1000;

using TSubstitutionTable = std::array<std::uint8_t, SubstitutionTableSize>;
using TPasswordRecordBytes = std::array<std::uint8_t, PasswordRecordSize>;

// The decoded record. Text holds the 255 text bytes (password or filler first).
struct TPasswordRecord {
  double SavedAt = 0;          // days since 1899-12-30, local time
  std::int32_t Minutes = 0;    // RememberPassMin at the time of the write
  std::uint8_t IsReal = 0;     // 1: Text starts with the real password
  std::int32_t Length = 0;     // password length in bytes
  std::string Text;
};

// Random permutation of 0..255, the generator seeded with Seed (a tick count).
TSubstitutionTable MakeSubstitutionTable(std::uint32_t Seed);
void SubstituteBytes(std::uint8_t* Buffer, std::size_t Count, const TSubstitutionTable& Table);
void UnsubstituteBytes(std::uint8_t* Buffer, std::size_t Count, const TSubstitutionTable& Table);

// Table + substituted Data + random tail; false (and an empty Buffer) when
// memory runs out.
bool ScrambleBuffer(const std::uint8_t* Data, std::size_t Count, std::uint32_t Seed,
                    std::vector<std::uint8_t>& Buffer);
// Undoes the substitution of the Count bytes after the table. False when the
// buffer is too short to hold table and data.
bool UnscrambleBuffer(const std::uint8_t* Buffer, std::size_t BufferLength, std::uint8_t* Out,
                      std::size_t Count);

// The 255 text bytes of a record: the password (or, when not IsReal, random
// text of its length) filled up with random text; at most 255 bytes of a
// longer password. RandomText(n) must give n characters.
std::string ComposePasswordText(const std::string& Password, bool IsReal,
                                const std::function<std::string(int)>& RandomText);

void EncodePasswordRecord(const TPasswordRecord& Record, TPasswordRecordBytes& Out);
TPasswordRecord DecodePasswordRecord(const TPasswordRecordBytes& Bytes);

// Whole minutes between two date-times, with the run-time library's correction
// for stamps before 1899-12-30. NaN or out-of-range stamps give NaN.
double WholeMinutesBetween(double A, double B);
bool IsPasswordRecordAccepted(const TPasswordRecord& Record, double Now);

// The file content for a record: encoded, scrambled with a table drawn from
// Seed. The plain record bytes are wiped before returning.
bool BuildPasswordFile(const TPasswordRecord& Record, std::uint32_t Seed,
                       std::vector<std::uint8_t>& File);
// The remembered password in the first bytes of a file, when it passes every
// check at time Now; nothing otherwise.
std::optional<std::string> ReadPasswordFile(const std::uint8_t* Data, std::size_t Size, double Now);
