#pragma once
#include <functional>
#include "MountedQuery.h"
#include "Volume.h"

// Modification time of the settings file seen by the last refresh.
extern double SettingsFileDate;

// Set by the tray application; called after a refresh that changed anything.
extern std::function<void()> RebuildMenusHook;

// One refresh: scans the drives and, only when they changed, re-reads every
// ".tcvinfo.ini" and merges the result into Volumes; notices a changed
// settings file. Main thread only.
void RefreshVolumes();

// Makes NewList the current Volumes, carrying each surviving identity's
// run-time state (password, pending work, Auto, monitor) over from the old
// list, setting MountedLetter from MountList when it is not empty, and
// stopping the monitors of volumes that went away.
void MergeVolumes(TTCVolumesArray& NewList, const TTCMountedVolumeArray& MountList);
