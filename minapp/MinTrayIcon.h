#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "MinApp.h"
#include "MinTimer.h"

// Mouse or keyboard event on the tray icon (WM_LBUTTONUP, NIN_SELECT,
// NIN_KEYSELECT, WM_CONTEXTMENU...) with the point a menu opens at, in
// screen coordinates.
using TMinTrayMouseEvent = std::function<void(WORD Event, POINT Anchor)>;

// Balloon icon kinds for ShowBalloon.
enum class TBalloonKind { None, Info, Warning, Error };

// One icon in the notification area, with tip, balloons and mouse events,
// on the shell's version-4 protocol; puts itself back when the taskbar is
// re-created, and retries while the shell refuses to add it (its tray is
// not ready yet at logon).
class TMinTrayIcon {
 public:
  // Not shown yet. The picture is not owned: its owner keeps it while this
  // object may show it (the shell takes a copy each time).
  TMinTrayIcon(HICON Icon, const std::string& Hint);
  // Removes the icon from the notification area.
  ~TMinTrayIcon();
  TMinTrayIcon(const TMinTrayIcon&) = delete;
  TMinTrayIcon& operator=(const TMinTrayIcon&) = delete;

  // The identifier the shell knows the icon by (high word of lParam of its
  // callback, so it stays below 65536).
  const UINT Id;
  // The icon is meant to be in the notification area; InTray: the shell
  // took it.
  bool Shown = false;
  bool InTray = false;
  // Tip text; see SetHint.
  std::string Hint;
  HICON Icon = nullptr;
  TMinTrayMouseEvent OnMouse;

  // Adds the icon to or removes it from the notification area; nothing
  // happens without an icon or an application window. An add the shell
  // refuses is tried again every AddRetryInterval ms.
  void SetShown(bool Value);
  // Replaces the tip, in the notification area at once when the icon is there.
  void SetHint(const std::string& Value);
  // Replaces the picture; the old one may go once this returns.
  void SetIcon(HICON NewIcon);
  // Balloon notice at the icon; false when the shell refused it (e.g. the
  // icon is not shown).
  bool ShowBalloon(const std::string& Title, const std::string& Text, UINT Timeout, TBalloonKind Kind);

  // The shell records for an add, modify or delete, and for a balloon.
  NOTIFYICONDATAW ShellRecord(DWORD Action) const;
  NOTIFYICONDATAW BalloonRecord(const std::string& Title, const std::string& Text, UINT Timeout,
                                TBalloonKind Kind) const;

  // Event from the icon's callback (the hidden window's part).
  void Notify(WORD Event, POINT Anchor);

  // The live icon with this Id, or nullptr.
  static TMinTrayIcon* FindById(UINT Id);
  // Taskbar re-created: adds again every icon that is shown.
  static void RestoreAll();

  static constexpr UINT AddRetryInterval = 2000;

 private:
  void AddToTray();
  bool ShellCall(DWORD Action) const;

  TMinTimer AddRetry;
};

// Every live tray icon, in creation order.
extern std::vector<TMinTrayIcon*> TrayIcons;
// Longest tip, balloon text and balloon title, in UTF-16 units.
inline constexpr int TrayTipMaxLength = 126;
inline constexpr int BalloonTextMaxLength = 255;
inline constexpr int BalloonTitleMaxLength = 63;
