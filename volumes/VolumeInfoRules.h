#pragma once
#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Value rules of the ".tcvinfo.ini" keys, kept free of Windows calls.

// A stored "Disk" equal to this counts as absent.
constexpr int32_t DiskAbsentSentinel = 2147483647;

// A value or a section name with a control character (U+0000 to U+001F,
// U+007F) skips its section: a NUL would cut the program's command line.
bool HasControlCharacter(std::string_view Text);

// The value readers below give nullopt and the reason in Refusal for a value
// that skips the section; an empty value is the default.

// "Letter": X or X: in either case gives 'X'; empty gives a blank, meaning
// any free letter.
std::optional<char> LetterFromInfoValue(const std::string& Value, std::string& Refusal);
// A yes/no key: a number (0 is no, any other is yes), or true/false, yes/no,
// on/off in any case.
std::optional<bool> SwitchFromInfoValue(const std::string& Value, bool Default, std::string& Refusal);
// A whole number Min..Max in plain decimal digits.
std::optional<int32_t> WholeFromInfoValue(const std::string& Value, int32_t Default, int32_t Min, int32_t Max,
                                          std::string& Refusal);
// Stands in for a drive letter to denote the per-user ".tcvinfo.ini".
constexpr char AppDataMarker = '\x01';

// What a ".tcvinfo.ini" may hold. A drive's file above MaxDriveInfoBytes,
// or the per-user file above MaxUserInfoBytes, is not read; reading stops
// at the section after MaxSectionsPerFile; a line over MaxInfoLineBytes, or
// more than MaxKeyfiles keyfiles, skips the section.
constexpr std::size_t MaxDriveInfoBytes = 64 * 1024;
constexpr std::size_t MaxUserInfoBytes = 1024 * 1024;
constexpr std::size_t MaxSectionsPerFile = 256;
constexpr std::size_t MaxInfoLineBytes = 4096;
constexpr std::size_t MaxKeyfiles = 16;

// The full path a "File" value names in the ".tcvinfo.ini" of InfoDrive (a
// drive letter, or AppDataMarker), or nullopt with the reason in Refusal
// when the section must be skipped. An empty value gives "".
// A drive's own file comes from whoever wrote that drive: it may name only
// paths on that drive. A value without a drive is taken on it (\Vault\a.hc
// and Vault\a.hc on E give E:\Vault\a.hc); another drive letter, a network
// or device path (\\host\..., //host/..., \\?\..., \\.\...) and a colon
// anywhere but after the drive letter are refused. The per-user file is the
// user's own: any full local path or network path; a relative one is refused.
// Only [A-Za-z]: is a drive. Either file: a component that is a device name
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension) is
// refused.
std::optional<std::string> DefinitionPath(const std::string& Value, char InfoDrive, std::string& Refusal);

// Largest "PIM" the encryption program takes.
constexpr int32_t MaxPim = 2147468;
// "Keyfiles": paths separated by ';', in their order, blanks around each and
// empty ones dropped; each is taken by DefinitionPath's rules, and one
// refused path, or more than MaxKeyfiles, refuses them all.
std::optional<std::vector<std::string>> KeyfilePaths(const std::string& Value, char InfoDrive, std::string& Refusal);
