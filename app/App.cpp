#include "App.h"

#include <dbt.h>
#include <wtsapi32.h>

#include <algorithm>
#include <utility>

#include "ConfigFiles.h"
#include "Folders.h"
#include "ErrorTexts.h"
#include "Log.h"
#include "Text.h"
#include "MenuTexts.h"
#include "MinDialogs.h"
#include "MinDpi.h"
#include "MinIniFile.h"
#include "PasswordMemory.h"
#include "Process.h"
#include "SystemLibrary.h"

namespace {
constexpr char SettingsSection[] = "Common";
// How long a hold waits for mounts in flight, and again for the dismounts:
// about what Windows waits for before it sleeps.
constexpr uint32_t HoldGrace = 2000;
// What the application posts itself to ask for the program at start-up,
// once its loop runs.
constexpr UINT StartupMessage = WM_APP + 3;
}  // namespace

UINT AlreadyRunningMessage() {
  static const UINT Message = RegisterWindowMessageW(L"TrayVolumeMounter.AlreadyRunning");
  return Message;
}

TApp::TApp(const std::string& Title, bool NoDismount)
    : TMinApplication(Title),
      NoDismount(NoDismount),
      VolumesMenu(std::make_unique<TMinPopupMenu>()),
      OptionsMenu(std::make_unique<TMinPopupMenu>()),
      VolumeControl(*this) {
  // wtsapi32.dll is not a known DLL, so it is not imported.
  const TSystemLibrary Wtsapi(L"wtsapi32.dll");
  const auto Register = Wtsapi.Find<decltype(WTSRegisterSessionNotification)>("WTSRegisterSessionNotification");
  if (!Register || !Register(Handle, NOTIFY_FOR_ALL_SESSIONS)) TellFailure(LastErrorText());

  VolumesMenu->OnPopup = [this] {
    VolumeControl.RefreshVolumes();
    BuildVolumesMenu();
  };
  OptionsMenu->OnPopup = [this] { VolumeControl.RefreshVolumes(); };
  VolumesMenu->OnClosed = OptionsMenu->OnClosed = [this] {
    if (RebuildWaiting) RebuildMenus();
  };

  const int IconSize = TrayIconSize();
  MainIcon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, IconSize, IconSize, LR_SHARED));
  TrayIcon = std::make_unique<TMinTrayIcon>(MainIcon, Title);
  TrayIcon->OnMouse = [this](WORD Event, POINT Anchor) { OnTrayEvent(Event, Anchor); };
  OnEventFailed = [this](const std::string& What) { EventFailed(What); };

  if (!ProcessIdToSessionId(GetCurrentProcessId(), &SessionId)) SessionId = 0;

  ExchangeSettings(false);
  SecretText Remembered;
  TellWrite(LoadRememberedPassword(Remembered), PasswordFileName());
  VolumeControl.SetRememberedPassword(std::move(Remembered));
  VolumeControl.RefreshVolumes();
  TrayIcon->SetShown(true);
  if (!HeldIgnoredNotice.empty()) DefinitionsIgnored(std::exchange(HeldIgnoredNotice, {}));
  PostMessageW(Handle, StartupMessage, 0, 0);
}

TApp::~TApp() {
  SaveState();
  if (NoDismount || LoggingOff) return;
  LogUnattended("exit");
  // As for a lock: a mount still in flight goes too, once it has appeared.
  VolumeControl.Hold(HoldGrace);
}

void TApp::ExchangeSettings(bool Save) {
  TMinIniFile Ini(SettingsFileName(), Save);
  Ini.OnSaved = [this, &Ini](TWriteOutcome Outcome) { TellWrite(Outcome, Ini.FileName); };
  Ini.Section = SettingsSection;
  if (!Save) LoadIconSetting(Ini.ReadWriteString("Icon", ""));
  Settings.DismountAllOnSwitchUser = Ini.ReadWriteBool("DismountAllOnSwitchUser", Settings.DismountAllOnSwitchUser);
  Settings.DismountAllOnLock = Ini.ReadWriteBool("DismountAllOnLock", Settings.DismountAllOnLock);
  Settings.DismountAllOnSleep = Ini.ReadWriteBool("DismountAllOnSleep", Settings.DismountAllOnSleep);
  Settings.DismountIdleMin = Ini.ReadWriteInteger("DismountIdleMin", Settings.DismountIdleMin);
  VolumeControl.SetIdleMinutes(Settings.DismountIdleMin);
  Settings.SavePass = Ini.ReadWriteBool("SavePass", Settings.SavePass);
  Settings.RememberPassMin = Ini.ReadWriteInteger("RememberPassMin", Settings.RememberPassMin);
}

void TApp::LoadIconSetting(const std::string& Value) {
  if (SameTextUtf8(Value, CustomIconPath)) return;
  TIconHandle Loaded;
  if (!Value.empty()) {
    SetCurrentDir(GetProgramFolder());
    const std::string Path = ExpandPath(Value);
    const int Size = TrayIconSize();
    Loaded.reset(
        static_cast<HICON>(LoadImageW(nullptr, Utf8ToWide(Path).c_str(), IMAGE_ICON, Size, Size, LR_LOADFROMFILE)));
    if (!Loaded) return;
    CustomIconPath = Path;
  } else {
    CustomIconPath.clear();
  }
  TrayIcon->SetIcon(Loaded ? Loaded.get() : MainIcon);
  // Only now is the picture shown before no longer needed.
  CustomIcon = std::move(Loaded);
}

void TApp::SaveState() {
  ExchangeSettings(true);
  VolumeControl.StopFileMonitors();
  // A default password that has not opened a volume yet may be a typo.
  const SecretText None;
  const SecretText* Worked = VolumeControl.PasswordWorthRemembering();
  TellWrite(SaveRememberedPassword(Worked ? *Worked : None, Settings.SavePass, Settings.RememberPassMin),
            PasswordFileName());
}

LRESULT TApp::HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == AlreadyRunningMessage()) {
    if (TrayIcon->Shown) ShowNotice(Title, "Already running", 2000, TBalloonKind::Info);
    return 0;
  }
  switch (Msg) {
    case StartupMessage:
      // The question comes from the loop, so that every event is handled
      // while it is open.
      EnsureCryptProgram();
      VolumeControl.ProcessVolumes();
      return 0;
    case WM_QUERYENDSESSION:
      // An open question must not hold Windows up.
      VolumeControl.PostponeQuestion();
      CloseFileDialog();
      SaveState();
      return 1;
    case WM_ENDSESSION:
      if (WParam) {
        Terminate();
      } else {
        // Shutdown cancelled: carry on; the pass brings back the container
        // monitors the query stopped and asks again what it closed.
        WriteLog("The end of the Windows session was cancelled");
        VolumeControl.ProcessVolumes();
      }
      return 0;
    case WM_WTSSESSION_CHANGE:
      OnSessionChange(Msg, WParam, LParam);
      return 0;
    case WM_POWERBROADCAST:
      OnPowerChange(Msg, WParam);
      return TRUE;
    case WM_DEVICECHANGE:
      OnDeviceChange(WParam, LParam);
      break;
  }
  return TMinApplication::HandleMessage(Msg, WParam, LParam);
}

int TApp::TrayIconSize() const { return SystemMetricForDpi(SM_CXSMICON, WindowDpi(Handle)); }

void TApp::Hold(const char* Cause) {
  LogUnattended(Cause);
  CloseFileDialog();
  VolumeControl.Hold(HoldGrace);
}

void TApp::OnSessionChange(UINT, WPARAM Event, LPARAM Session) {
  if (Session < 0 || static_cast<DWORD>(Session) != SessionId) return;
  switch (Event) {
    case WTS_SESSION_UNLOCK:
    case WTS_SESSION_LOGON:
      SessionLocked = false;
      [[fallthrough]];
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
      // Any way back into the session ends the hold.
      VolumeControl.ReleaseHold();
      break;
    case WTS_CONSOLE_DISCONNECT:
      if (Settings.DismountAllOnSwitchUser) Hold("switch of user");
      break;
    case WTS_SESSION_LOCK:
      SessionLocked = true;
      if (Settings.DismountAllOnLock) Hold("lock");
      break;
    case WTS_SESSION_LOGOFF:
      VolumeControl.PostponeQuestion();
      CloseFileDialog();
      LoggingOff = true;
      Terminate();
      break;
  }
}

void TApp::OnPowerChange(UINT, WPARAM Event) {
  if (Event == PBT_APMSUSPEND && Settings.DismountAllOnSleep) {
    HeldForSleep = true;
    Hold("sleep");
  } else if (Event == PBT_APMRESUMEAUTOMATIC && HeldForSleep) {
    HeldForSleep = false;
    // A session locked with its own dismount waits for the unlock.
    if (!(SessionLocked && Settings.DismountAllOnLock)) VolumeControl.ReleaseHold();
  }
}

void TApp::OnDeviceChange(WPARAM Event, LPARAM Header) {
  const auto* Volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(Header);
  if (!Volume || Volume->dbcv_devicetype != DBT_DEVTYP_VOLUME) return;
  if (Event == DBT_DEVICEARRIVAL)
    VolumeControl.RefreshSoon();
  else if (Event == DBT_DEVICEREMOVECOMPLETE)
    VolumeControl.DrivesRemoved(Volume->dbcv_unitmask);
}

void TApp::LogUnattended(const char* Cause) const {
  const std::vector<TVolume>& Volumes = VolumeControl.Volumes;
  if (std::any_of(Volumes.begin(), Volumes.end(), [](const TVolume& V) { return V.InUse(); }))
    WriteLog(std::string("Dismount all: ") + Cause);
}

// Select follows a left click, key-select Enter or Space on the icon, the
// context-menu notice a right click or Shift+F10.
void TApp::OnTrayEvent(WORD Event, POINT Anchor) {
  if (Event == NIN_BALLOONUSERCLICK) {
    if (BalloonDrive) ShellOpen(std::string(1, BalloonDrive) + ":\\");
    return;
  }
  if (Event != NIN_SELECT && Event != NIN_KEYSELECT && Event != WM_CONTEXTMENU) return;
  // An open question comes first.
  if (Question) {
    Question->BringToFront();
  } else if (HWND Dialog = OpenFileDialogWindow()) {
    SetForegroundWindow(Dialog);
  } else {
    (Event == WM_CONTEXTMENU ? OptionsMenu : VolumesMenu)->Popup(Anchor.x, Anchor.y);
  }
}

void TApp::AskPassword(const std::string& Prompt) {
  Question = TInputBox::Show("", Prompt, "", true, [this](bool Submitted, SecretText Password) {
    // Freed only after the answer: a next question replaces it.
    const std::unique_ptr<TInputBox> Answered = std::move(Question);
    VolumeControl.PasswordAnswered(Submitted ? TAnswer::Submitted : TAnswer::Cancelled, std::move(Password));
  });
  // Without a window nobody could answer: not now.
  if (!Question) VolumeControl.PostponeQuestion();
}

void TApp::AskForce(const std::string& Text) {
  Question = TInputBox::Confirm("", Text, [this](bool Yes, SecretText) {
    const std::unique_ptr<TInputBox> Answered = std::move(Question);
    VolumeControl.ForceAnswered(Yes);
  });
  if (!Question) VolumeControl.PostponeQuestion();
}

void TApp::CloseQuestion() { Question.reset(); }

bool TApp::EnsureCryptProgram() {
  if (VolumeControl.FindCryptProgram()) return true;
  std::string Path;
  if (OpenFileDialogWindow()) return false;
  std::string InitialDir;
  uint32_t FilterIndex = 1;
  FindDefaultCryptProgram(InitialDir, FilterIndex);
  if (FileDialog(true, "Select Crypt Application", InitialDir,
                 "VeraCrypt|VeraCrypt.exe|TrueCrypt|TrueCrypt.exe|Programs(*.exe)|*.exe", FilterIndex,
                 Path) != TFileDialogEnd::Chosen)
    return false;
  return VolumeControl.SetCryptProgram(Path);
}

void TApp::VolumeResult(const TVolume& Volume, const std::string& Title, bool Success, const std::string& Text) {
  WriteLog(VolumeResultTitle(Title, Success) + " - " + Text);
  UpdateTip();
  if (!TrayIcon->Shown) return;
  // A failure says what to do: it stays long enough to be read. Only a mount
  // that succeeded leaves its volume mounted.
  ShowNotice(VolumeResultTitle(Title, Success), Text, Success ? 2000 : 10000,
             Success ? TBalloonKind::Info : TBalloonKind::Error, Success ? Volume.MountedLetter : 0);
}

void TApp::UpdateTip() {
  std::vector<std::string> Mounted;
  for (const TVolume& V : VolumeControl.Volumes)
    if (V.Mounted()) Mounted.push_back(VolumeItemCaption(V.Label, V.MountedLetter));
  TrayIcon->SetHint(MountedTip(Title, Mounted));
}

void TApp::ShowNotice(const std::string& NoticeTitle, const std::string& Text, UINT Timeout, TBalloonKind Kind,
                      char Drive) {
  BalloonDrive = Drive;
  TrayIcon->ShowBalloon(NoticeTitle, Text, Timeout, Kind);
}

void TApp::IdleReached() { LogUnattended("idle"); }

void TApp::DefinitionsIgnored(const std::string& Text) {
  if (!TrayIcon->Shown) {
    HeldIgnoredNotice = Text;
    return;
  }
  ShowNotice(VolumeResultTitle("Volume definition ignored", false), Text, 5000, TBalloonKind::Error);
}

void TApp::TellFailure(const std::string& Text) {
  WriteLog("Error - " + Text);
  if (TrayIcon && TrayIcon->Shown) ShowNotice("Error", Text, 10000, TBalloonKind::Error);
}

void TApp::EventFailed(const std::string& What) {
  if (!FailuresTold.insert(What).second || !TrayIcon->Shown) return;
  TrayIcon->ShowBalloon(Title, "Something failed and was left undone (" + What + "); the program goes on", 5000,
                        TBalloonKind::Error);
}

void TApp::TellWrite(TWriteOutcome Outcome, const std::string& FileName) {
  if (Outcome == TWriteOutcome::Swapped || !TrayIcon->Shown) return;
  TrayIcon->ShowBalloon(Title,
                        Outcome == TWriteOutcome::InPlace
                            ? FileName + " is held open by another program and was written in place"
                            : FileName + " could not be written",
                        5000, Outcome == TWriteOutcome::InPlace ? TBalloonKind::Warning : TBalloonKind::Error);
}

void TApp::VolumesChanged(bool SettingsChanged) {
  if (SettingsChanged) ExchangeSettings(false);
  RebuildMenus();
  UpdateTip();
}
