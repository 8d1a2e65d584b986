#pragma once
#include <string>

// Where the configuration files live. Nothing is cached: each call looks at
// the file system again.

// The ".tcvinfo.ini" of a drive root ("E" gives E:\.tcvinfo.ini), or the one
// in the user's application-data folder for AppDataMarker.
std::string VolumeConfigFileName(char Letter);

// Application-data folder, VendorName, ProgramName, with a trailing "\".
std::string UserConfigDir();

// ProgramName + ".ini" next to the program when that file exists, otherwise
// the one in UserConfigDir (which may not exist yet).
std::string SettingsFileName();

// Creates Target when it does not exist, with the content of TemplateName
// from the program's folder when it can be read, otherwise with Text;
// written as WriteFileSafely does. Never creates a missing folder. True when the file was
// created; on failure the system's error code is left for GetLastError.
bool CreateFileFromTemplate(const std::string& TemplateName, const std::string& Target, const std::string& Text);
