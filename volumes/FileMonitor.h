#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "FSChangeMonitor.h"

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

// The message-only window of the main thread that receives the monitors'
// notices and hands each Serial to OnNotice.
class TMonitorNoticeWindow {
public:
  explicit TMonitorNoticeWindow(std::function<void(uint64_t Serial)> OnNotice);
  ~TMonitorNoticeWindow();
  TMonitorNoticeWindow(const TMonitorNoticeWindow&) = delete;
  TMonitorNoticeWindow& operator=(const TMonitorNoticeWindow&) = delete;

  HWND Handle() const { return Window; }

private:
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

  std::function<void(uint64_t Serial)> OnNotice;
  HWND Window = nullptr;
};
