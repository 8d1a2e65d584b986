#include "VolumeTimer.h"

#include "AppFlags.h"
#include "Mounting.h"
#include "VolumeDefinitions.h"

TTCTimer* VolumeTimer = nullptr;
int32_t PendingCount = 0;

TTCTimer::TTCTimer() : TMinTimer(false, {}, VolumeTimerInterval) {
  OnTimer = [this](TMinTimer* Sender) { Tick(Sender); };
}

TTCTimer::~TTCTimer() {
  if (VolumeTimer == this) VolumeTimer = nullptr;
}

void TTCTimer::Tick(TMinTimer*) {
  SetEnabled(false);
  RunTime = RunTime > Interval ? RunTime - Interval : 0;
  // Restarted however the pass ends; an exception travels on afterwards.
  struct TRestart {
    TTCTimer* Timer;
    ~TRestart() { Timer->SetEnabled(PendingCount > 0 || Timer->RunTime > 0); }
  } Restart{this};
  // A pass waiting in the program's file dialog holds an entry of Volumes:
  // a refresh now would replace the list under it.
  if (AppFlags & afBusy) return;
  RefreshVolumes();
  ProcessVolumes();
}

TTCTimer* KeepPolling(uint32_t Milliseconds) {
  if (!VolumeTimer) VolumeTimer = new TTCTimer();
  if (VolumeTimer->RunTime < Milliseconds) {
    VolumeTimer->RunTime = Milliseconds;
    VolumeTimer->SetEnabled(true);
  }
  return VolumeTimer;
}

void BeginPending() {
  if (!Application) return;
  if (PendingCount == 0) KeepPolling(0)->SetEnabled(true);
  ++PendingCount;
}

void EndPending() {
  if (!Application) return;
  if (PendingCount > 0) --PendingCount;
  if (PendingCount == 0) KeepPolling(0)->SetEnabled(false);
}
