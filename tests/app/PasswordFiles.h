// "1.d" contents for the tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "DateTimes.h"
#include "SecretText.h"

// Stands in for the data-protection API natively: reversible, and the plain
// record is not found in its output.
inline const std::string Sealed = "sealed:";
inline std::optional<std::string> Seal(std::string_view Plain) {
  std::string Blob = Sealed;
  for (char C : Plain) Blob += static_cast<char>(C ^ 0x5A);
  return Blob;
}
inline std::optional<SecretText> Unseal(std::string_view Blob) {
  if (!Blob.starts_with(Sealed)) return std::nullopt;
  SecretText Plain;
  for (char C : Blob.substr(Sealed.size())) Plain.Append(static_cast<char>(C ^ 0x5A));
  return Plain;
}

// The record's stamp of Time: days since 1899-12-30, the fraction the time of day.
inline double DayCount(TLocalTime Time) {
  const std::chrono::local_days DayZero{std::chrono::year{1899} / 12 / 30};
  return std::chrono::duration<double, std::ratio<86400>>(Time - DayZero).count();
}

// A file as the program's earlier versions wrote it: a substitution table,
// the 280-byte record substituted with it, and a tail.
inline std::string OldPasswordFile(std::string_view Password, double SavedAt, std::int32_t Minutes,
                                   std::uint8_t IsReal = 1) {
  char Record[280] = {};
  std::memcpy(&Record[0], &SavedAt, 8);
  std::memcpy(&Record[8], &Minutes, 4);
  Record[12] = static_cast<char>(IsReal);
  const std::int32_t Length = static_cast<std::int32_t>(Password.size());
  std::memcpy(&Record[16], &Length, 4);
  Record[20] = static_cast<char>(255);
  Password.copy(&Record[21], 255);
  std::string File(256, '\0');
  // 167 is odd, so this is a permutation of 0..255.
  for (int I = 0; I < 256; ++I) File[I] = static_cast<char>((I * 167 + 13) & 0xFF);
  for (char C : Record) File += File[static_cast<unsigned char>(C)];
  return File + std::string(60, 'T');
}
