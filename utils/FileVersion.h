#pragma once
// The "FileVersion" text of an executable's version resource.
#include <string>

// Empty when the file has no version resource or does not exist.
std::string GetFileVersion(const std::string& Path);
