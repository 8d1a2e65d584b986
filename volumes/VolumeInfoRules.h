#pragma once
#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Value rules of the ".tcvinfo.ini" keys, kept free of Windows calls.

// Default passed when reading "Disk": a stored value equal to it counts as absent.
constexpr int32_t DiskAbsentSentinel = 2147483647;

// "Letter": exactly one character 'A'..'Z' is the wanted letter; anything
// else (lower case, longer, empty) gives a blank, meaning any free letter.
char LetterFromInfoValue(const std::string& Value);

// Stands in for a drive letter to denote the per-user ".tcvinfo.ini".
constexpr char AppDataMarker = '\x01';

// A ".tcvinfo.ini" holds at most this many sections; the rest are ignored.
constexpr std::size_t MaxSectionsPerFile = 256;

// The full path a "File" value names in the ".tcvinfo.ini" of InfoDrive (a
// drive letter, or AppDataMarker), or nullopt with the reason in Refusal
// when the section must be skipped. An empty value gives "".
// A drive's own file comes from whoever wrote that drive: it may name only
// paths on that drive. A value without a drive is taken on it (\Vault\a.hc
// and Vault\a.hc on E give E:\Vault\a.hc); another drive letter, a network
// or device path (\\host\..., //host/..., \\?\..., \\.\...) and a colon
// anywhere but after the drive letter are refused. The per-user file is the
// user's own: any full local path or network path; a relative one is refused.
// Only [A-Za-z]: is a drive.
std::optional<std::string> DefinitionPath(const std::string& Value, char InfoDrive, std::string& Refusal);
// Two leading separators: a network or device path, which a refresh must
// not touch (a slow or hostile host would stall it).
bool IsNetworkPath(const std::string& Path);

// Largest "PIM" the encryption program takes.
constexpr int32_t MaxPim = 2147468;
// "PIM": empty gives 0 (none); a whole number 1..MaxPim, written in plain
// decimal digits, is the PIM. Anything else is refused (nullopt, Refusal).
std::optional<int32_t> PimFromInfoValue(const std::string& Value, std::string& Refusal);
// "Keyfiles": paths separated by ';', in their order, blanks around each and
// empty ones dropped; each is taken by DefinitionPath's rules, and one
// refused path refuses them all.
std::optional<std::vector<std::string>> KeyfilePaths(const std::string& Value, char InfoDrive, std::string& Refusal);
