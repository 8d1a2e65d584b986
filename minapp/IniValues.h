#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Value rules of the INI accessor, kept free of Windows calls.

// A stored boolean: a decimal number (sign, digits, fraction, exponent) is
// true when it is not zero; "True"/"False" in any letter case; anything else
// is Default.
bool IniTextToBool(const std::string& Text, bool Default);
// A stored switch read strictly: a decimal number as above, or true/false,
// yes/no, on/off in any letter case; nullopt for anything else.
std::optional<bool> IniTextToSwitch(const std::string& Text);
