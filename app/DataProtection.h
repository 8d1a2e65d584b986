// The Windows data-protection API in user scope: what one user protects on a
// machine only the same user on the same machine reads back, and only with
// the same entropy. Never shows a prompt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "SecretText.h"

std::optional<std::string> ProtectForUser(std::string_view Plain, std::string_view Entropy);
std::optional<SecretText> UnprotectForUser(std::string_view Blob, std::string_view Entropy);
