// A "1.d" file as the program's earlier versions wrote it: a substitution
// table, the 280-byte record substituted with it, and a tail.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

inline std::string OldPasswordFile(std::string_view Password, double SavedAt, std::int32_t Minutes,
                                   std::uint8_t IsReal = 1) {
  std::string Record(280, '\0');
  std::memcpy(&Record[0], &SavedAt, 8);
  std::memcpy(&Record[8], &Minutes, 4);
  Record[12] = static_cast<char>(IsReal);
  const std::int32_t Length = static_cast<std::int32_t>(Password.size());
  std::memcpy(&Record[16], &Length, 4);
  Record[20] = static_cast<char>(255);
  Record.replace(21, Password.size(), Password);
  std::string File(256, '\0');
  // 167 is odd, so this is a permutation of 0..255.
  for (int I = 0; I < 256; ++I) File[I] = static_cast<char>((I * 167 + 13) & 0xFF);
  for (char C : Record) File += File[static_cast<unsigned char>(C)];
  return File + std::string(60, 'T');
}
