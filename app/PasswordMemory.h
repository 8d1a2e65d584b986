// Carries the default password over to the next start in the file "1.d" of
// the per-user configuration folder, protected for the Windows user.
#pragma once

#include <string>

// UserConfigDir + "1.d".
std::string PasswordFileName();
// Writes the file (always; it holds the password only when SavePass is on).
// Failures are silent.
void SaveRememberedPassword();
// Restores DefaultPassword when the file passes every check. An old-format
// file is rewritten in the current one, a refused record is removed.
void LoadRememberedPassword();
