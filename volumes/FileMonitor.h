#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "FSChangeMonitor.h"
#include "MinWindow.h"

// Watches the drive of a mounted container volume with "FileSetModified" on.
// Its first change notice is posted to the owner's notice window as
// MonitorNoticeMessage with the monitor's Serial; the monitor thread itself
// touches no volume. Its volume entry owns it.
class TTCFileMonitor : public TFSChangeMonitor {
 public:
  TTCFileMonitor(char MountedLetter, HWND NoticeWindow);
  ~TTCFileMonitor() override;

  // Tells this monitor's notice apart from one of a later monitor.
  const uint64_t Serial;

 private:
  void Changed(TFSChangeMonitor* Sender);
  const HWND NoticeWindow;
};

// What a monitor posts: lParam is its Serial.
constexpr UINT MonitorNoticeMessage = WM_APP + 1;
// What volume control posts itself for a refresh it was asked for.
constexpr UINT RefreshNoticeMessage = WM_APP + 2;

// The message-only window of the main thread that receives the monitors'
// notices, handing each Serial to OnNotice, and volume control's own
// refresh notice (OnRefresh). Unlike the application's window it answers
// while an input box is open.
class TMonitorNoticeWindow : public TMinWindow {
 public:
  TMonitorNoticeWindow(std::function<void(uint64_t Serial)> OnNotice, std::function<void()> OnRefresh);

 protected:
  LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 private:
  std::function<void(uint64_t Serial)> OnNotice;
  std::function<void()> OnRefresh;
};
