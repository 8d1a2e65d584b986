#pragma once
// Loads of little-endian fields from byte layouts that cross a process or
// file boundary, read at explicit offsets, never by casting a struct.
#include <cstdint>

inline uint32_t LoadLE32(const uint8_t* P) {
  return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}

inline uint64_t LoadLE64(const uint8_t* P) { return uint64_t(LoadLE32(P)) | uint64_t(LoadLE32(P + 4)) << 32; }
