// The tray application: the one application object, its settings, the two
// tray menus and their commands, and the answers volume control asks for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "AboutBox.h"
#include "MinApp.h"
#include "MinDialogs.h"
#include "MinMenu.h"
#include "MinTrayIcon.h"
#include "VolumeControl.h"

// Command ids of the menu items that are not a volume or a config file.
enum TAppCommand : int {
  cmMountAll = 1001,
  cmDismountAll = 1002,
  cmExitAndDismount = 1003,
  cmExitWithoutDismount = 1004,
  cmDismountOnSwitchUser = 1005,
  cmSavePassword = 1006,
  cmSettings = 1007,
  cmRunCryptProgram = 1008,
  cmDownloadVeraCrypt = 1009,
  cmDismountOnLock = 1010,
  cmDismountOnSleep = 1011,
  cmStartWithWindows = 1012,
  cmAbout = 1013,
};

// The message a second start of the program posts to the running one's
// hidden window.
UINT AlreadyRunningMessage();

// Settings of the "Common" section.
struct TAppSettings {
  bool DismountAllOnSwitchUser = true;
  bool DismountAllOnLock = false;
  bool DismountAllOnSleep = false;
  // Minutes without input before an idle dismount; 0 off.
  int32_t DismountIdleMin = 0;
  bool SavePass = false;
  int32_t RememberPassMin = 0;
};

class TApp : public TMinApplication, private TVolumeControlHost {
 public:
  // NoDismount: volumes stay mounted when the application ends ("-nd").
  TApp(const std::string& Title, bool NoDismount);
  // Saves the state and, unless told otherwise, dismounts every volume.
  ~TApp() override;

  TAppSettings Settings;
  // Full path of the icon file the tray shows; empty for the built-in icon.
  std::string CustomIconPath;
  bool NoDismount;
  // The session is logging off: no dismount at exit.
  bool LoggingOff = false;
  // The session is locked.
  bool SessionLocked = false;
  // The volumes were dismounted for sleep and wait for the resume.
  bool HeldForSleep = false;
  DWORD SessionId = 0;
  HICON MainIcon = nullptr;
  std::unique_ptr<TMinPopupMenu> VolumesMenu;
  std::unique_ptr<TMinPopupMenu> OptionsMenu;
  std::unique_ptr<TMinTrayIcon> TrayIcon;
  TVolumeControl VolumeControl;

  // Loads (false) or saves (true) the "Common" settings.
  void ExchangeSettings(bool Save);
  // Settings, container monitors, remembered password.
  void SaveState();
  LRESULT OnAppMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  // A tray icon event: the volumes menu on select, the options menu on the
  // context-menu notice.
  bool OnTrayEvent(WORD Event, POINT Anchor);

  // Refills both menus, or once they have closed when one is open.
  void RebuildMenus();
  void OnVolumesMenuPopup(TMinPopupMenu* Sender);
  void OnOptionsMenuPopup(TMinPopupMenu* Sender);
  void OnMenuCommand(TMinMenuItem* Item);

 private:
  void LoadIconSetting(const std::string& Value);
  // Pixels of a small icon at the DPI of the application window's monitor.
  int TrayIconSize() const;
  void OnSessionChange(UINT Msg, WPARAM Event, LPARAM Session);
  void OnPowerChange(UINT Msg, WPARAM Event);
  void OnDeviceChange(WPARAM Event, LPARAM Header);
  // The user left or the system sleeps: the open questions end as "not
  // now", and the volumes are dismounted and kept wanted for the return.
  void Hold();
  // A program is known, or the user is asked for one now (the file dialog,
  // from this handler and never inside a volume pass). True when known.
  bool EnsureCryptProgram();

  void AskPassword(const std::string& Prompt) override;
  void CloseQuestion() override;
  void VolumeResult(const TTCVolume& Volume, const std::string& Text, bool Success, const std::string& Cause) override;
  void DefinitionsIgnored(const std::string& Text) override;
  void VolumesChanged(bool SettingsChanged) override;

  // Told before the tray icon was shown; shown with it.
  std::string HeldIgnoredNotice;
  // The open password question.
  std::unique_ptr<TInputBox> Question;
  // The open About box.
  std::unique_ptr<TAboutBox> About;
  // A rebuild waits for the open menu to close.
  bool RebuildWaiting = false;
};
