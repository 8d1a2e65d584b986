// Texts of the tray menus that need no Windows call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Content of a new ".tcvinfo.ini": one section "Label" with "Letter=N" and
// the other keys as comment lines, twelve lines joined by "\r\n".
std::string NewVolumeConfigText();
// "Label (X:)"; a blank letter gives "Label ( :)".
std::string VolumeItemCaption(const std::string& Label, char Letter);
// "Save Default Password (N)".
std::string SavePasswordCaption(int32_t Minutes);
// The tray tip: "Mount: " and the captions of the mounted volumes, joined by
// ", "; Title when none is mounted.
std::string MountedTip(const std::string& Title, const std::vector<std::string>& MountedCaptions);
// Balloon title for a finished operation: Text + " : OK" or " : Error".
std::string VolumeResultTitle(const std::string& Text, bool Ok);
// The About text: title and version, licence, and where the settings, the
// log and the volume definitions are (UserDefinitions: the per-user file).
std::string AboutText(const std::string& Title, const std::string& Settings, const std::string& Log,
                      const std::string& UserDefinitions);
