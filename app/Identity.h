// The program's vendor name and title, kept in the binary in scrambled form.
#pragma once

#include <string>

// Reverses S and shifts every byte by Offset (up when Add, down otherwise).
std::string UnscrambleString(const std::string& S, bool Add, int Offset);

constexpr int IdentityScrambleOffset = 11;
// Scrambled "Vaultline" and "Mount": reversed, every byte lowered by 11.
inline constexpr char ScrambledVendorName[] = "Zc^aiajVK";
inline constexpr char ScrambledAppTitle[] = "icjdB";
