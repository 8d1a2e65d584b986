// The remembered-password file "1.d". Pure byte work, no Windows calls, so
// it runs natively under the sanitizers and the fuzzer; the caller supplies
// the protection (the Windows data-protection API, bound to the user).
//
// The file is PasswordFileMagic followed, when a password is remembered, by
// the protected record. The magic holds the byte 0 twice, which the old
// format's leading permutation table never does, so an old file is never
// taken for a new one. The magic alone remembers nothing: it carries neither
// a password nor its length.
//
// The record before protection, 268 bytes, little-endian:
//    0  double  saved at, days since 1899-12-30 (the fraction is the time of
//               day), local time; 0 or less, or beyond the year 9999, is refused
//    8  int32   minutes the password is kept (RememberPassMin when saved)
//   12  uint8   password length, 1..255
//   13  255     the password, zero-filled: the record's size, and so the
//               protected size, does not depend on the password
//
// The old format, read once and then rewritten: a 256-byte substitution
// table, a 280-byte record substituted with it, and a random tail.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "DateTimes.h"
#include "SecretText.h"

inline constexpr std::array<char, 8> PasswordFileMagic = {'1', '.', 'd', '\0', '\0', 'D', 'P', '2'};
constexpr std::size_t RememberedPasswordMax = 255;
constexpr std::size_t PasswordRecordSize = 268;
// Longer files are not ours; a protected record is far below this.
constexpr std::size_t PasswordFileReadLimit = 4096;

struct TPasswordRecord {
  SecretText Password;
  TLocalTime SavedAt{};
  std::int32_t Minutes = 0;  // how long after SavedAt it is accepted
};

// The protection of the record: the protected blob from the plain record,
// and back; nothing when it fails.
using TProtect = std::function<std::optional<std::string>(std::string_view Plain)>;
using TUnprotect = std::function<std::optional<SecretText>(std::string_view Blob)>;

// A password of 1..255 bytes whose minutes (whole ones, either way from
// SavedAt) have not passed at Now.
bool IsPasswordRecordAccepted(const TPasswordRecord& Record, TLocalTime Now);

SecretText EncodePasswordRecord(const TPasswordRecord& Record);
// The record in Plain when it has the record's size, a valid length and time.
std::optional<TPasswordRecord> DecodePasswordRecord(std::string_view Plain);
// The record of an old-format file; a valid time, but no check of its minutes.
std::optional<TPasswordRecord> DecodeOldPasswordFile(std::string_view File);

// The file that remembers no password.
std::string NoPasswordFile();
// The file for Record: protected when it is to be remembered (SavePass on
// and the record accepted right at its own time), otherwise, or when the
// protection fails, the file that remembers none.
std::string BuildPasswordFile(const TPasswordRecord& Record, bool SavePass, const TProtect& Protect);

struct TPasswordFileRead {
  std::optional<TPasswordRecord> Accepted;  // the record, when it passes every check at Now
  // The file is not in its final form (old format, a refused or unreadable
  // record): write BuildPasswordFile(*Accepted, true, ...) or NoPasswordFile().
  bool Rewrite = false;
};
TPasswordFileRead ReadPasswordFile(std::string_view File, TLocalTime Now, const TUnprotect& Unprotect);
