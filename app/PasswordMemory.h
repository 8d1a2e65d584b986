// Carries the default password over to the next start in the scrambled file
// "1.d" of the per-user configuration folder.
#pragma once

#include <string>

// UserConfigDir + "1.d".
std::string PasswordFileName();
// Writes the file (always; it holds the password only when SavePass is on).
// Failures are silent.
void SaveRememberedPassword();
// Restores DefaultPassword when the file passes every check.
void LoadRememberedPassword();
