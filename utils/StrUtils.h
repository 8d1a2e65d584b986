#pragma once
// Small routines on UTF-8 strings: switches on the command line, prefix
// tests, case folding, numbers. A blank is any character with code 32 or
// below.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char ParamValueSeparator = ':';

// S without blanks (codes 0..32) at either end.
std::string_view Trim(std::string_view S);

// Looks for the switch Name among Params (the command-line parameters after
// the program path): a parameter that starts with Name, ignoring ASCII case,
// and either ends there or goes on with ":value".
bool HasParamIn(const std::vector<std::string>& Params, const std::string& Name, std::string& Value);

bool StartsWith(const std::string& Prefix, const std::string& S);
bool StartsWithIgnoreAsciiCase(const std::string& Prefix, const std::string& S);

// The one case fold of names compared without regard to case: a..z become
// A..Z, every other byte (UTF-8 included) stays.
char AsciiUpper(char C);
std::string AsciiUpper(std::string_view S);
bool SameIgnoringAsciiCase(std::string_view A, std::string_view B);

// How a whole number is read. Strict: all of the text is an optional sign and
// decimal digits, within 32 bits. Profile: as the Windows profile functions
// read one: leading blanks, a sign, a 0x/0o/0b prefix, then digits up to the
// first other character within the first 29 characters, wrapping at 32 bits
// (0 without digits).
enum class TNumberRule { Strict, Profile };
// Nothing for an empty text or, read strictly, for anything but a number.
std::optional<int32_t> ParseInt32(std::string_view Text, TNumberRule Rule);

// Overwrite memory that held a password before it is released; the writes
// are not removed by the optimiser. The strings are left empty.
void WipeBytes(void* Data, std::size_t Count);
void WipeString(std::string& S);
void WipeString(std::wstring& S);
