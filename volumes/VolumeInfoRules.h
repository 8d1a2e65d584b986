#pragma once
#include <cstdint>
#include <string>

// Value rules of the ".tcvinfo.ini" keys, kept free of Windows calls.

// Default passed when reading "Disk": a stored value equal to it counts as absent.
constexpr int32_t DiskAbsentSentinel = 2147483647;

// "Letter": exactly one character 'A'..'Z' is the wanted letter; anything
// else (lower case, longer, empty) gives a blank, meaning any free letter.
char LetterFromInfoValue(const std::string& Value);

// "File": a value without a drive part is taken on InfoDrive, the drive that
// holds the ".tcvinfo.ini" (\Vault\a.hc and Vault\a.hc on E give
// E:\Vault\a.hc). Empty values and values with a drive part are unchanged.
std::string CompleteContainerPath(const std::string& Value, char InfoDrive);
