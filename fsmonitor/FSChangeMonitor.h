// TFSChangeMonitor: a thread that reports every change recorded in one folder
// (optionally with its sub-folders), blocked on an I/O completion port while
// the folder is quiet.
#pragma once

#include "Thread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class TFSChangeMonitor;
using TFSChangeEvent = std::function<void(TFSChangeMonitor* Sender)>;

enum : uint8_t {
  fsaAdded = 1,
  fsaRemoved = 2,
  fsaModified = 3,
  fsaRenamedOld = 4,
  fsaRenamedNew = 5,
};

class TFSChangeMonitor : public TThread {
 public:
  // Create with NewThread<TFSChangeMonitor>(...) (or call AfterConstruction)
  // so the thread starts once construction is complete.
  TFSChangeMonitor(const std::string& Folder, TFSChangeEvent OnChange, bool WatchSubtree);
  ~TFSChangeMonitor() override;

  // The way to end the thread: Terminate, then Wake.
  virtual void Stop();
  // Releases the thread from its wait for changes.
  void Wake();

  // The record being reported; overwritten by the next one.
  uint8_t Action = 0;  // 1..5, 0 when details were lost
  std::string Folder;
  std::string ChangedPath;  // FolderPath + name relative to Folder
  std::string FileName;     // the entry's own name
  TFSChangeEvent OnChange;
  std::string FolderPath;
  bool WatchSubtree;
  std::atomic<HANDLE> Port{nullptr};
  // Why the watch could not start (the system's code); the thread then ends.
  DWORD WatchError = 0;

 protected:
  void DoChange();
  void Execute() override;

 private:
  void ReportRecords(const uint8_t* Buffer, size_t Size);
  std::mutex PortLock;  // Wake never posts to a port being closed
};
