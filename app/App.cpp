#include "App.h"

#include <wtsapi32.h>

#include <utility>

#include "ConfigFiles.h"
#include "Folders.h"
#include "MessageBoxes.h"
#include "Text.h"
#include "MenuTexts.h"
#include "MinDialogs.h"
#include "MinIniFile.h"
#include "PasswordMemory.h"

namespace {
constexpr char SettingsSection[] = "Common";
}

// The hook is given to the base so that it sees the messages sent while the
// window is created; those never reach a branch that reads TApp's members.
TApp::TApp(const std::string& Title, bool NoDismount)
    : TMinApplication(Title, [this](HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return OnAppMessage(W, M, Wp, Lp); }),
      NoDismount(NoDismount),
      VolumesMenu(std::make_unique<TMinPopupMenu>()),
      OptionsMenu(std::make_unique<TMinPopupMenu>()),
      VolumeControl(*this) {
  if (!WTSRegisterSessionNotification(Handle, NOTIFY_FOR_ALL_SESSIONS)) ShowLastError();

  VolumesMenu->OnPopup = [this](TMinPopupMenu* Sender) { OnVolumesMenuPopup(Sender); };
  OptionsMenu->OnPopup = [this](TMinPopupMenu* Sender) { OnOptionsMenuPopup(Sender); };

  // Shared: the built-in icon is never destroyed, so it can come back after
  // a custom one.
  MainIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                           GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  TrayIcon = std::make_unique<TMinTrayIcon>(MainIcon, true, Title);
  TrayIcon->OnMouse = [this](TMinTrayIcon* Sender, WORD Msg) { return OnTrayMouse(Sender, Msg); };
  TrayIcon->PopupMenu = OptionsMenu.get();
  TrayIcon->SetAutoRestore(true);

  if (!ProcessIdToSessionId(GetCurrentProcessId(), &SessionId)) SessionId = 0;

  ExchangeSettings(false);
  LoadRememberedPassword(VolumeControl.DefaultPassword);
  VolumeControl.RefreshVolumes();
  VolumeControl.ProcessVolumes();
  TrayIcon->SetShown(true);
  if (!HeldIgnoredNotice.empty()) DefinitionsIgnored(std::exchange(HeldIgnoredNotice, {}));
}

TApp::~TApp() {
  SaveState();
  if (!CustomIconPath.empty()) {
    HICON Custom = TrayIcon->Icon;
    TrayIcon->SetIcon(MainIcon);
    DestroyIcon(Custom);
  }
  if (!NoDismount && !LoggingOff) VolumeControl.DismountAll(false);
}

void TApp::ExchangeSettings(bool Save) {
  TMinIniFile Ini(SettingsFileName(), Save);
  Ini.Section = SettingsSection;
  if (!Save) LoadIconSetting(Ini.ReadWriteString("Icon", ""));
  Settings.DismountAllOnSwitchUser = Ini.ReadWriteBool("DismountAllOnSwitchUser", Settings.DismountAllOnSwitchUser);
  Settings.SavePass = Ini.ReadWriteBool("SavePass", Settings.SavePass);
  Settings.RememberPassMin = Ini.ReadWriteInteger("RememberPassMin", Settings.RememberPassMin);
}

void TApp::LoadIconSetting(const std::string& Value) {
  if (SameTextUtf8(Value, CustomIconPath)) return;
  HICON Old = TrayIcon->Icon;
  const bool OldIsCustom = !CustomIconPath.empty();
  if (Value.empty()) {
    TrayIcon->SetIcon(MainIcon);
    CustomIconPath.clear();
  } else {
    SetCurrentDir(GetProgramFolder());
    const std::string Path = ExpandPath(Value);
    HICON Loaded =
        static_cast<HICON>(LoadImageW(nullptr, Utf8ToWide(Path).c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    if (!Loaded) return;
    TrayIcon->SetIcon(Loaded);
    CustomIconPath = Path;
  }
  // The tray icon shares its pictures; a replaced custom one is ours to free.
  if (OldIsCustom && Old != TrayIcon->Icon) DestroyIcon(Old);
}

void TApp::SaveState() {
  ExchangeSettings(true);
  VolumeControl.StopFileMonitors();
  SaveRememberedPassword(VolumeControl.DefaultPassword, Settings.SavePass, Settings.RememberPassMin);
}

LRESULT TApp::OnAppMessage(HWND, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_QUERYENDSESSION:
      SaveState();
      return 1;
    case WM_ENDSESSION:
      Terminate();
      return 0;
    case WM_WTSSESSION_CHANGE: {
      const int32_t Session = static_cast<int32_t>(LParam);
      if (Session < 0 || static_cast<DWORD>(Session) != SessionId) return 0;
      switch (WParam) {
        case WTS_CONSOLE_CONNECT:
          VolumeControl.MountsHeld = false;
          VolumeControl.ProcessVolumes();
          break;
        case WTS_CONSOLE_DISCONNECT:
          if (Settings.DismountAllOnSwitchUser) {
            VolumeControl.MountsHeld = true;
            VolumeControl.DismountAll(true);
          }
          break;
        case WTS_SESSION_LOGOFF:
          LoggingOff = true;
          Terminate();
          break;
      }
      return 0;
    }
  }
  return 0;
}

bool TApp::OnTrayMouse(TMinTrayIcon*, WORD MouseMessage) {
  switch (MouseMessage) {
    case WM_LBUTTONUP:
      if (!VolumeControl.Busy()) VolumesMenu->PopupAtCursor();
      return true;
    case WM_RBUTTONUP:
      if (!VolumeControl.Busy()) OptionsMenu->PopupAtCursor();
      return true;
  }
  return false;
}

bool TApp::AskPassword(const std::string& Prompt, SecretText& Password) {
  return InputBox("", Prompt, "", Password, true);
}

bool TApp::LocateCryptProgram(const std::string& InitialDir, uint32_t FilterIndex, std::string& Path) {
  std::vector<std::string> Files;
  if (!FileDialog(true, "Select Crypt Application", InitialDir,
                  "VeraCrypt|VeraCrypt.exe|TrueCrypt|TrueCrypt.exe|Programs(*.exe)|*.exe", FilterIndex, Files))
    return false;
  Path = Files.front();
  return true;
}

void TApp::VolumeResult(const TTCVolume& Volume, const std::string& Text, bool Success) {
  if (!TrayIcon->Shown) return;
  TrayIcon->ShowBalloon(VolumeResultTitle(Text, Success), Volume.Label, 2000, Success ? bkInfo : bkError);
}

void TApp::DefinitionsIgnored(const std::string& Text) {
  if (!TrayIcon->Shown) {
    HeldIgnoredNotice = Text;
    return;
  }
  TrayIcon->ShowBalloon(VolumeResultTitle("Volume definition ignored", false), Text, 5000, bkError);
}

void TApp::VolumesChanged(bool SettingsChanged) {
  if (SettingsChanged) ExchangeSettings(false);
  RebuildMenus();
}
