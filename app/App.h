// The tray application: the one application object, its settings, the two
// tray menus and their commands.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "MinApp.h"
#include "MinMenu.h"
#include "MinTrayIcon.h"

// Command ids of the menu items (volume items use index + 1).
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
  cmEditConfig = 7000,    // + index in SysVolumes
  cmCreateConfig = 8000,  // + index in SysVolumes
  cmDeleteConfig = 9000,  // + index in SysVolumes
};

// Settings of the "Common" section.
extern bool DismountAllOnSwitchUser;
extern bool SavePass;
extern int32_t RememberPassMin;
// Full path of the icon file the tray shows; empty for the built-in icon.
extern std::string CustomIconPath;

class TApp : public TMinApplication {
public:
  explicit TApp(const std::string& Title);
  ~TApp() override;

  std::unique_ptr<TMinTrayIcon> TrayIcon;
  std::unique_ptr<TMinPopupMenu> VolumesMenu, OptionsMenu;
  DWORD SessionId = 0;
  HICON MainIcon = nullptr;

  // Loads (false) or saves (true) the "Common" settings.
  void ExchangeSettings(bool Save);
  // Settings, container monitors, remembered password.
  void SaveState();
  LRESULT OnAppMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
  bool OnTrayMouse(TMinTrayIcon* Sender, WORD MouseMessage);

  // Refills both menus; volume control calls it after a refresh that changed
  // anything.
  void RebuildMenus();
  void OnVolumesMenuPopup(TMinPopupMenu* Sender);
  void OnOptionsMenuPopup(TMinPopupMenu* Sender);
  void OnVolumeItemClick(TMinMenuItem* Item);
  void OnMenuCommand(TMinMenuItem* Item);
  // Balloon for a finished mount or dismount.
  void OnVolumeResult(int Index, const std::string& Text, bool Ok);

private:
  void LoadIconSetting(const std::string& Value);
};

// The one application object.
extern TApp* App;
