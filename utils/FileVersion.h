#pragma once
// The "FileVersion" text of an executable's version resource.
#include <string>

#include "VersionCompare.h"

// Empty when the file has no version resource or does not exist.
std::string GetFileVersion(const std::string& Path);
// CompareVersionStrings of the two files' versions.
int CompareFileVersions(const std::string& PathA, const std::string& PathB);
