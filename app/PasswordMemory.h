// Carries the default password over to the next start in the scrambled file
// "1.d" of the per-user configuration folder.
#pragma once

#include <cstdint>
#include <string>

// UserConfigDir + "1.d".
std::string PasswordFileName();
// Writes the file (always; it holds Password only when SavePass is on, for
// Minutes). Failures are silent.
void SaveRememberedPassword(const std::string& Password, bool SavePass, int32_t Minutes);
// Restores Password when the file passes every check.
void LoadRememberedPassword(std::string& Password);
