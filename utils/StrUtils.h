#pragma once
// Small routines on UTF-8 strings: switches on the command line, cutting at
// a separator, prefix tests, quoting for command lines.
// Positions count from 1 (0 means "not found"); a blank is any character
// with code 32 or below.
#include <cstddef>
#include <string>
#include <vector>

inline constexpr char ParamValueSeparator = ':';

// Removes blanks (codes 0..32) at both ends / at the start / at the end.
std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);

// Looks for the switch Name among Params (the command-line parameters after
// the program path): a parameter that starts with Name, ignoring ASCII case,
// and either ends there or goes on with ":value".
bool HasParamIn(const std::vector<std::string>& Params, const std::string& Name, std::string& Value);

// Text after the first (or last) Sep in the trimmed S, without leading
// blanks; empty when Sep does not occur. The search is exact.
std::string TextAfter(const std::string& S, const std::string& Sep, bool FromEnd = false);
// Text before the first (or last) Sep in the trimmed S, without trailing
// blanks; the trimmed S when Sep does not occur.
std::string TextBefore(const std::string& S, char Sep, bool FromEnd = false);
// Cuts the trimmed S at the first (or last) Sep. Without Sep, Left is the
// trimmed S and Right is empty. Right may be the variable S came from.
void SplitAt(std::string S, char Sep, bool FromEnd, std::string& Left, std::string& Right);

bool StartsWith(const std::string& Prefix, const std::string& S);
bool StartsWithIgnoreAsciiCase(const std::string& Prefix, const std::string& S);

int LastPosOf(const std::string& Sub, const std::string& S);
// Non-overlapping occurrences from the left, up to the first NUL in S.
// Sub must not be empty.
int CountOf(const std::string& Sub, const std::string& S);

// Empty S gives Q twice; Always gives Q + S + Q; otherwise Q is added at
// either end where it is not there yet.
std::string EncloseIn(const std::string& S, char Q, bool Always);
// S in double quotes when it contains a space, keeping quotes it has at
// either end already.
std::string QuoteIfSpaced(const std::string& S);

// Overwrite memory that held a password before it is released; the writes
// are not removed by the optimiser. The strings are left empty.
void WipeBytes(void* Data, std::size_t Count);
void WipeString(std::string& S);
void WipeString(std::wstring& S);
