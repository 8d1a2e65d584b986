#include "Volume.h"
#include "Text.h"

TTCVolumesArray Volumes;

bool FindVolume(int32_t Disk, int32_t Partition, const std::string& File,
                TTCVolumesArray& List, TTCVolume*& Entry, int* Index) {
  for (std::size_t I = 0; I < List.size(); ++I) {
    TTCVolume& V = List[I];
    bool Same = File.empty() ? V.Disk == Disk && V.Partition == Partition : SameTextUtf8(V.File, File);
    if (Same) {
      Entry = &V;
      if (Index) *Index = int(I);
      return true;
    }
  }
  Entry = nullptr;
  return false;
}

bool IsValidVolumeIndex(int Index) {
  return Index >= 0 && std::size_t(Index) < Volumes.size();
}

bool IsVolumeMounted(int Index) {
  return IsValidVolumeIndex(Index) && Volumes[Index].MountedLetter != 0;
}
