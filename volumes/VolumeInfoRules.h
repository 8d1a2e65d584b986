#pragma once
#include <cstdint>
#include <string>

// Value rules of the ".tcvinfo.ini" keys, kept free of Windows calls.

// Default passed when reading "Disk": a stored value equal to it counts as absent.
constexpr int32_t DiskAbsentSentinel = 2147483647;

// "Letter": exactly one character 'A'..'Z' is the wanted letter; anything
// else (lower case, longer, empty) gives a blank, meaning any free letter.
char LetterFromInfoValue(const std::string& Value);

// True when Path has a drive part: "X:" or a leading "\\" (UNC).
bool HasDrivePart(const std::string& Path);

// "File": a value without a drive part is taken on InfoDrive, the drive that
// holds the ".tcvinfo.ini" (\Vault\a.hc and Vault\a.hc on E give
// E:\Vault\a.hc). Empty values and values with a drive part are unchanged.
std::string CompleteContainerPath(const std::string& Value, char InfoDrive);

// Two time stamps (day counts) are the same time when they differ by less
// than one millisecond.
bool SameTimeStamp(double A, double B);
