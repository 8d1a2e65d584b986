// Driving the stand-in driver and finding the stand-in programs, for the
// stand-in program itself and for tests.
//
// The driver (driver/TcStandin.sys) runs as the kernel service "TcStandin";
// it offers "\\.\VeraCrypt" and "\\.\TrueCrypt", each with its own table of
// mounted letters. Under a persistent wineserver the tables last for the whole
// Wine session; tests that depend on them start from ClearStandinMounts.
#pragma once

#include <string>
#include <vector>

enum class StandinDevice { VeraCrypt, TrueCrypt };

// The stand-in program builds, each in its own install folder.
enum class StandinBuild { VeraCrypt121, VeraCrypt119, VeraCrypt116, VeraCrypt115, VeraCrypt113, TrueCrypt71a };

struct StandinMount {
  char Letter;       // 'A'..'Z'
  std::string Name;  // volume name as recorded, e.g. "\??\C:\vol\a.hc"
  bool TrueCryptMode;
};

// Windows path of a stand-in program build, e.g. ...\standin\VeraCrypt\VeraCrypt.exe.
std::string StandinProgramPath(StandinBuild Build);
// Windows path of the driver file.
std::string StandinDriverPath();

// Creates the kernel service when missing (pointing it at StandinDriverPath)
// and starts it; true once its devices can be opened. Cheap when it runs.
bool StartStandinDriver();
// Stops the service (its devices and tables go); true once they are gone.
bool StopStandinDriver();

bool SetStandinMount(StandinDevice Device, char Letter, const std::string& VolumeName, bool TrueCryptMode);
bool ClearStandinMount(StandinDevice Device, char Letter);
bool ClearStandinMounts(StandinDevice Device);

// The device's table, read through the mount-list request at its largest
// size; false when the device cannot be asked.
bool QueryStandinMounts(StandinDevice Device, std::vector<StandinMount>& Mounts);
