#include "FileMonitor.h"

#include "FileTimes.h"
#include "Files.h"
#include "VolumeControl.h"

namespace {

// Serial numbers tell a monitor's notice from a later monitor that happens
// to get the same address.
uint64_t LastSerial = 0;

}  // namespace

TVolumeChangeMonitor::TVolumeChangeMonitor(char MountedLetter, std::function<void(uint64_t Serial)> OnChange)
    : Serial(++LastSerial), OnChange(std::move(OnChange)), Watch(std::string(1, MountedLetter) + ":\\", true) {
  if (Watch.Watching()) Wait = std::make_unique<TMinWait>(Watch.Event(), [this] { Signalled(); });
}

void TVolumeChangeMonitor::Signalled() {
  // Lost details (an overflow) mean many changes: a change all the same.
  if (Watch.TakeChanges().empty()) {
    if (Watch.Watching()) Wait = std::make_unique<TMinWait>(Watch.Event(), [this] { Signalled(); });
    return;
  }
  // One notice at most; the owner frees the monitor.
  OnChange(Serial);
}

void TVolumeControl::StartMonitor(TVolume& Entry) {
  if (Entry.FileSetModified != 1 || Entry.Monitor || !Entry.Mounted()) return;
  if (!FileExistsEx(Entry.File)) return;
  Entry.Monitor =
      std::make_unique<TVolumeChangeMonitor>(Entry.MountedLetter, [this](uint64_t Serial) { MonitorNoticed(Serial); });
}

void TVolumeControl::StopMonitor(TVolume& Entry) {
  if (Entry.FileSetModified == 2) {
    Entry.FileSetModified = 1;
    if (FileExistsEx(Entry.File)) SetLastWrite(Entry.File, FileTicksNow());
  }
  Entry.Monitor.reset();
}

void TVolumeControl::StopFileMonitors() {
  for (TVolume& Entry : Volumes) StopMonitor(Entry);
}

// The monitor with this serial saw a change: its entry is marked and the
// monitor, whose thread is ending, is freed.
void TVolumeControl::MonitorNoticed(uint64_t Serial) {
  for (TVolume& Entry : Volumes) {
    if (Entry.Monitor && Entry.Monitor->Serial == Serial) {
      StopMonitor(Entry);
      Entry.FileSetModified = 2;
      return;
    }
  }
  // Not found: the entry went away or was stopped meanwhile, and its monitor
  // with it.
}
