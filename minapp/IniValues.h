#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Value rules of the INI accessor, kept free of Windows calls.

// A stored boolean: a decimal number (sign, digits, fraction, exponent) is
// true when it is not zero; "True"/"False" in any letter case; anything else
// is Default.
bool IniTextToBool(const std::string& Text, bool Default);

// Splits the first Length bytes of a list of zero-terminated names (as the
// section-name query returns it) into the names, in order.
std::vector<std::string> SplitZeroTerminatedList(const char* Buffer, std::size_t Length);
