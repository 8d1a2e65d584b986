// One running instance per user. The first start holds the user's instance
// lock; a later one tells the holder and ends.
#pragma once

#include <windows.h>

#include "Scoped.h"

// The user's instance lock: a mutex in a private namespace whose boundary
// holds the user's SID, so no other account can create or hold it. Where
// private namespaces are missing (Wine), a session-wide name that carries the
// SID stands in.
class TInstanceLock {
 public:
  TInstanceLock();
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Another start of this user held the lock when this one asked.
  bool HeldElsewhere() const { return FHeldElsewhere; }
  // Whether this start holds the lock now, taking it if the holder has ended.
  bool Take() const;

 private:
  HANDLE Namespace = nullptr;
  TKernelHandle Mutex;
  bool FHeldElsewhere = false;
};

enum class THandOver { Told, TookOver, NoAnswer };

// A start that found the lock held: tells the running instance of this user
// (its hidden window gets Message), or takes over when the holder ends while
// its window is awaited, or gives up after a few seconds without an answer.
THandOver HandOverToRunningInstance(const TInstanceLock& Lock, UINT Message);
