// TFSChangeMonitor: watches one folder (optionally with its sub-folders)
// without a thread of its own: one overlapped directory read at a time,
// whose event the owner waits on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ChangeRecords.h"
#include "Scoped.h"

class TFSChangeMonitor {
 public:
  // Starts the watch; Watching() tells whether it runs.
  TFSChangeMonitor(const std::string& Folder, bool WatchSubtree);
  // Cancels the read and waits until it has let go of the buffer.
  ~TFSChangeMonitor();
  TFSChangeMonitor(const TFSChangeMonitor&) = delete;
  TFSChangeMonitor& operator=(const TFSChangeMonitor&) = delete;

  bool Watching() const { return Pending; }
  // Signalled when the read has completed.
  HANDLE Event() const { return Done.get(); }
  // Once Event is signalled: the records of the read, and the next read
  // armed. A completion without records (the system lost the details)
  // gives one record with action 0; a failed read gives none and ends the
  // watch.
  std::vector<TChangeRecord> TakeChanges();

  const std::string Folder;
  const bool WatchSubtree;

 private:
  void Arm();

  TKernelHandle Done;
  TFileHandle Dir;
  OVERLAPPED Overlapped{};
  bool Pending = false;
  alignas(DWORD) uint8_t Buffer[4096];
};
