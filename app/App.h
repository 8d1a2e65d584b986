// The tray application: the one application object, its settings, the two
// tray menus and their commands, and the answers volume control asks for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "MinApp.h"
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
  cmStartWithWindows = 1010,
};

// Settings of the "Common" section.
struct TAppSettings {
  bool DismountAllOnSwitchUser = true;
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
  bool OnTrayMouse(TMinTrayIcon* Sender, WORD MouseMessage);

  // Refills both menus.
  void RebuildMenus();
  void OnVolumesMenuPopup(TMinPopupMenu* Sender);
  void OnOptionsMenuPopup(TMinPopupMenu* Sender);
  void OnMenuCommand(TMinMenuItem* Item);

private:
  void LoadIconSetting(const std::string& Value);

  bool AskPassword(const std::string& Prompt, SecretText& Password) override;
  bool LocateCryptProgram(const std::string& InitialDir, uint32_t FilterIndex, std::string& Path) override;
  void VolumeResult(const TTCVolume& Volume, const std::string& Text, bool Success) override;
  void DefinitionsIgnored(const std::string& Text) override;
  void VolumesChanged(bool SettingsChanged) override;

  // Told before the tray icon was shown; shown with it.
  std::string HeldIgnoredNotice;
};
