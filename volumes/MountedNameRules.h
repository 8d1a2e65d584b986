#pragma once
#include <cstdint>
#include <string>

// Text rules for the volume names the encryption driver reports, kept free
// of Windows calls. The names arrive upper-cased.

// Name without a leading "\??\", or Name unchanged.
std::string StripNtPathPrefix(const std::string& Name);

// Reads a device name such as \DEVICE\HARDDISK1\PARTITION2: the integer after
// the first "HARDDISK" up to the next "\", and the integer after the last
// "PARTITION". False when either is missing or not an integer.
bool ParseDiskPartitionName(const std::string& Name, int32_t& Disk, int32_t& Partition);
