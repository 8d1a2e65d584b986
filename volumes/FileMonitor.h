#pragma once
#include <cstdint>
#include <string>
#include "FSChangeMonitor.h"
#include "Volume.h"

// Watches the drive of a mounted container volume with "FileSetModified" on.
// Its first change notice goes to the main thread, which marks the volume 2
// and frees the monitor; the monitor thread itself touches neither Volumes
// nor the application's object list.
class TTCFileMonitor : public TFSChangeMonitor {
public:
  explicit TTCFileMonitor(const TTCVolume& Entry);
  ~TTCFileMonitor() override;

  // A copy of the watched volume (without its password).
  const TTCVolume Volume;
  // Tells this monitor's notice apart from one of a later monitor.
  const uint64_t Serial;

private:
  void Changed(TFSChangeMonitor* Sender);
};

// Starts a monitor when the entry's mark is 1, it has none and its container
// exists. A mark of 2 is left alone, so the stamp waits for the dismount.
void StartMonitor(TTCVolume& Entry);
// Stamps the container with the current time when the mark is 2 (setting it
// back to 1), then stops and frees the entry's monitor.
void StopMonitor(TTCVolume& Entry);
// StopMonitor for every entry of Volumes.
void StopFileMonitors();
// Part of the final clean-up: the main thread's notice window goes.
void ReleaseMonitorNotices();
