// The tray application: the one application object, its settings, the two
// tray menus and their commands, and the answers volume control asks for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "AboutBox.h"
#include "MinApp.h"
#include "MinDialogs.h"
#include "MinMenu.h"
#include "MinTrayIcon.h"
#include "VolumeControl.h"
#include "Files.h"
#include "Scoped.h"

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
  // The built-in picture, shared: never destroyed. The custom one goes after
  // the tray icon that shows it.
  HICON MainIcon = nullptr;
  TIconHandle CustomIcon;
  std::unique_ptr<TMinPopupMenu> VolumesMenu;
  std::unique_ptr<TMinPopupMenu> OptionsMenu;
  std::unique_ptr<TMinTrayIcon> TrayIcon;
  TVolumeControl VolumeControl;

  // Loads (false) or saves (true) the "Common" settings.
  void ExchangeSettings(bool Save);
  // Settings, container monitors, remembered password.
  void SaveState();
  // A tray icon event: the volumes menu on select, the options menu on the
  // context-menu notice.
  void OnTrayEvent(WORD Event, POINT Anchor);

  // Refills both menus, or once they have closed when one is open.
  void RebuildMenus();

 protected:
  LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 private:
  // Each item shows the state it acts on.
  void BuildVolumesMenu();
  void BuildOptionsMenu();
  void ShowAbout();
  void LoadIconSetting(const std::string& Value);
  // Pixels of a small icon at the DPI of the application window's monitor.
  int TrayIconSize() const;
  void OnSessionChange(UINT Msg, WPARAM Event, LPARAM Session);
  void OnPowerChange(UINT Msg, WPARAM Event);
  void OnDeviceChange(WPARAM Event, LPARAM Header);
  // The user left or the system sleeps (Cause, for the log): the open
  // questions end as "not now", and the volumes are dismounted and kept
  // wanted for the return.
  void Hold(const char* Cause);
  // Logs an action taken without the user, when a volume is in use.
  void LogUnattended(const char* Cause) const;
  // "Mount: " and the mounted volumes, or the title.
  void UpdateTip();
  // A balloon; a click on it opens Drive when that is not 0.
  void ShowNotice(const std::string& NoticeTitle, const std::string& Text, UINT Timeout, TBalloonKind Kind,
                  char Drive = 0);
  // A program is known, or the user is asked for one now (the file dialog,
  // from this handler and never inside a volume pass). True when known.
  bool EnsureCryptProgram();

  void AskPassword(const std::string& Prompt) override;
  void AskForce(const std::string& Text) override;
  void CloseQuestion() override;
  void VolumeResult(const TVolume& Volume, const std::string& Title, bool Success, const std::string& Text) override;
  void IdleReached() override;
  void DefinitionsIgnored(const std::string& Text) override;
  void VolumesChanged(bool SettingsChanged) override;

  // An event's handling failed: told once for each kind of failure.
  void EventFailed(const std::string& What);
  // A user's action or the start failed: told at the icon and in the log,
  // not in a message box, which would run a loop of its own.
  void TellFailure(const std::string& Text);
  // A new config from the template, opened for editing.
  void CreateConfig(const std::string& Path);
  // A file written in place, which may tear, or not written: told.
  void TellWrite(TWriteOutcome Outcome, const std::string& FileName);

  // Told before the tray icon was shown; shown with it.
  std::string HeldIgnoredNotice;
  // The failures told so far.
  std::set<std::string> FailuresTold;
  // The open password question.
  std::unique_ptr<TInputBox> Question;
  // The drive the shown balloon announced as mounted, or 0.
  char BalloonDrive = 0;
  // The open About box.
  std::unique_ptr<TAboutBox> About;
  // A rebuild waits for the open menu to close.
  bool RebuildWaiting = false;
};
