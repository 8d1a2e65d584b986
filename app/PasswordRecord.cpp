#include "PasswordRecord.h"

#include <chrono>
#include <cmath>
#include <cstring>

#include "LittleEndian.h"
#include "StrUtils.h"

namespace {

constexpr std::size_t OffsetSavedAt = 0;
constexpr std::size_t OffsetMinutes = 8;
constexpr std::size_t OffsetLength = 12;
constexpr std::size_t OffsetPassword = 13;

constexpr std::size_t OldTableSize = 256;
constexpr std::size_t OldRecordSize = 280;
constexpr std::size_t OldOffsetIsReal = 12;
constexpr std::size_t OldOffsetLength = 16;
constexpr std::size_t OldOffsetText = 21;

// Little-endian on every target we build for; the layout is fixed by the file.
void AppendLittleEndian(SecretText& Out, std::uint64_t V, int Count) {
  for (int I = 0; I < Count; ++I) Out.Append(static_cast<char>(V >> (8 * I)));
}
// The record keeps its time as days since 1899-12-30, the fraction the time of day.
constexpr std::chrono::local_days DayZero{std::chrono::year{1899} / 12 / 30};
constexpr double LastDay = 2958466;  // 1 January 10000
constexpr double MsPerDay = 86400000;

std::optional<TLocalTime> GetSavedAt(const unsigned char* P) {
  const std::uint64_t Bits = LoadLE64(P);
  double Days;
  std::memcpy(&Days, &Bits, sizeof Days);
  // NaN fails both tests; a time that rounds to the zero time is none either.
  if (!(Days > 0 && Days < LastDay)) return std::nullopt;
  const long long Ms = std::llround(Days * MsPerDay);
  if (Ms <= 0) return std::nullopt;
  return DayZero + std::chrono::milliseconds(Ms);
}
void AppendSavedAt(SecretText& Out, TLocalTime SavedAt) {
  const double Days = double((SavedAt - DayZero).count()) / MsPerDay;
  std::uint64_t Bits;
  std::memcpy(&Bits, &Days, sizeof Bits);
  AppendLittleEndian(Out, Bits, 8);
}
std::int32_t GetI32(const unsigned char* P) { return static_cast<std::int32_t>(LoadLE32(P)); }

const unsigned char* Bytes(std::string_view S) { return reinterpret_cast<const unsigned char*>(S.data()); }

bool HasMagic(std::string_view File) {
  return File.starts_with(std::string_view(PasswordFileMagic.data(), PasswordFileMagic.size()));
}

bool IsValidLength(std::size_t Length) { return Length >= 1 && Length <= RememberedPasswordMax; }

}  // namespace

bool IsPasswordRecordAccepted(const TPasswordRecord& Record, TLocalTime Now) {
  if (!IsValidLength(Record.Password.size())) return false;
  const auto Apart = Now > Record.SavedAt ? Now - Record.SavedAt : Record.SavedAt - Now;
  return std::chrono::floor<std::chrono::minutes>(Apart).count() <= Record.Minutes;
}

SecretText EncodePasswordRecord(const TPasswordRecord& Record) {
  SecretText Plain;
  Plain.Reserve(PasswordRecordSize);
  AppendSavedAt(Plain, Record.SavedAt);
  AppendLittleEndian(Plain, static_cast<std::uint32_t>(Record.Minutes), 4);
  const std::string_view Password = Record.Password.view().substr(0, RememberedPasswordMax);
  Plain.Append(static_cast<char>(Password.size()));
  Plain.Append(Password);
  while (Plain.size() < PasswordRecordSize) Plain.Append('\0');
  return Plain;
}

std::optional<TPasswordRecord> DecodePasswordRecord(std::string_view Plain) {
  if (Plain.size() != PasswordRecordSize) return std::nullopt;
  const unsigned char* P = Bytes(Plain);
  const std::size_t Length = P[OffsetLength];
  if (!IsValidLength(Length)) return std::nullopt;
  const std::optional<TLocalTime> SavedAt = GetSavedAt(P + OffsetSavedAt);
  if (!SavedAt) return std::nullopt;
  TPasswordRecord Record;
  Record.Password = Plain.substr(OffsetPassword, Length);
  Record.SavedAt = *SavedAt;
  Record.Minutes = GetI32(P + OffsetMinutes);
  return Record;
}

std::optional<TPasswordRecord> DecodeOldPasswordFile(std::string_view File) {
  if (File.size() < OldTableSize + OldRecordSize) return std::nullopt;
  std::array<unsigned char, OldTableSize> Inverse{};
  for (std::size_t I = 0; I < OldTableSize; ++I) Inverse[Bytes(File)[I]] = static_cast<unsigned char>(I);
  std::array<unsigned char, OldRecordSize> Plain;
  for (std::size_t I = 0; I < OldRecordSize; ++I) Plain[I] = Inverse[Bytes(File)[OldTableSize + I]];

  std::optional<TPasswordRecord> Record;
  const std::int32_t Length = GetI32(&Plain[OldOffsetLength]);
  const std::optional<TLocalTime> SavedAt = GetSavedAt(&Plain[OffsetSavedAt]);
  if (Plain[OldOffsetIsReal] == 1 && Length >= 1 && static_cast<std::size_t>(Length) <= RememberedPasswordMax &&
      SavedAt) {
    Record.emplace();
    Record->Password = std::string_view(reinterpret_cast<const char*>(&Plain[OldOffsetText]), Length);
    Record->SavedAt = *SavedAt;
    Record->Minutes = GetI32(&Plain[OffsetMinutes]);
  }
  WipeBytes(Plain.data(), Plain.size());
  return Record;
}

std::string NoPasswordFile() { return std::string(PasswordFileMagic.data(), PasswordFileMagic.size()); }

std::string BuildPasswordFile(const TPasswordRecord& Record, bool SavePass, const TProtect& Protect) {
  std::string File = NoPasswordFile();
  if (!SavePass || !IsPasswordRecordAccepted(Record, Record.SavedAt)) return File;
  const std::optional<std::string> Blob = Protect(EncodePasswordRecord(Record).view());
  if (Blob && !Blob->empty()) File += *Blob;
  return File;
}

TPasswordFileRead ReadPasswordFile(std::string_view File, TLocalTime Now, const TUnprotect& Unprotect) {
  TPasswordFileRead Read;
  std::optional<TPasswordRecord> Record;
  if (HasMagic(File)) {
    const std::string_view Blob = File.substr(PasswordFileMagic.size());
    if (Blob.empty()) return Read;
    if (const std::optional<SecretText> Plain = Unprotect(Blob)) Record = DecodePasswordRecord(Plain->view());
  } else {
    Record = DecodeOldPasswordFile(File);
    Read.Rewrite = true;
  }
  if (Record && IsPasswordRecordAccepted(*Record, Now))
    Read.Accepted = std::move(Record);
  else
    Read.Rewrite = true;
  return Read;
}
