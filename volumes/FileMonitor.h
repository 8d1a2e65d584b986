#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "FSChangeMonitor.h"
#include "MinWait.h"

// Watches the drive of a mounted container volume with "FileSetModified" on,
// from the message loop: the first change inside calls OnChange with the
// monitor's Serial, and the watch ends. Its volume entry owns it.
class TVolumeChangeMonitor {
 public:
  TVolumeChangeMonitor(char MountedLetter, std::function<void(uint64_t Serial)> OnChange);

  // Tells this monitor's notice apart from one of a later monitor.
  const uint64_t Serial;
  const std::string& Folder() const { return Watch.Folder; }

 private:
  void Signalled();

  std::function<void(uint64_t Serial)> OnChange;
  TFSChangeMonitor Watch;
  // Goes first: no notice reaches a half-destroyed monitor.
  std::unique_ptr<TMinWait> Wait;
};
