#pragma once
// Comparison of dot-separated version texts such as "1.15.0.3".
#include <string_view>

// -1, 0 or 1 for A lower, equal, higher. Only as many fields as the shorter
// version has are compared; a field that is not a number ends the
// comparison. An empty version is lower than any other.
int CompareVersionStrings(std::string_view A, std::string_view B);
