// Carries the default password over to the next start in the file "1.d" of
// the per-user configuration folder, protected for the Windows user.
#pragma once

#include <cstdint>
#include <string>

#include "Files.h"
#include "SecretText.h"

// UserConfigDir + "1.d".
std::string PasswordFileName();
// Writes the file (always; it holds Password only when SavePass is on, for
// Minutes), as WriteFileSafely does.
TWriteOutcome SaveRememberedPassword(const SecretText& Password, bool SavePass, int32_t Minutes);
// Restores Password when the file passes every check. An old-format file is
// rewritten in the current one, a refused record is removed; either is
// first overwritten in place, so nothing of it stays on the disk.
TWriteOutcome LoadRememberedPassword(SecretText& Password);
