#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "Scoped.h"

#include "CryptProgram.h"

struct TVolumeIdentity;

// One volume the encryption driver reports as mounted.
struct TMountedVolume {
  char Letter = 0;        // 'A'..'Z'
  int32_t Disk = 0;       // -1 for a container volume
  int32_t Partition = 0;  // -1 for a container volume
  std::string Path;       // container path in upper case; empty for a partition volume
  bool TrueCryptMode = false;
};

// In drive-letter order; built afresh by every query.

// List := the volumes the driver reports; empty when it cannot be asked.
// Always true.
bool GetMountedVolumes(const TCryptProgram& Program, std::vector<TMountedVolume>& List);

// Decodes one upper-cased volume name: an existing container file (a
// leading "\??\" dropped), or a "...HARDDISK<n>\...PARTITION<m>" device name.
bool ParseMountedName(const std::string& Name, int32_t& Disk, int32_t& Partition, std::string& Path);

// The first entry on Letter; null when there is none.
const TMountedVolume* FindMounted(const std::vector<TMountedVolume>& List, char Letter);
// The letter of the first entry with the volume's identity; 0 when none.
char MountedLetterOf(const std::vector<TMountedVolume>& List, const TVolumeIdentity& Identity);
