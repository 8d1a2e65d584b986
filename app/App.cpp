#include "App.h"

#include <wtsapi32.h>

#include "AppFlags.h"
#include "ConfigFiles.h"
#include "FileMonitor.h"
#include "Folders.h"
#include "MessageBoxes.h"
#include "MinIniFile.h"
#include "Mounting.h"
#include "PasswordMemory.h"
#include "Text.h"
#include "VolumeDefinitions.h"

bool DismountAllOnSwitchUser = true;
bool SavePass = false;
int32_t RememberPassMin = 0;
std::string CustomIconPath;

TApp* App = nullptr;

namespace {
constexpr char SettingsSection[] = "Common";
}

// The hook is given to the base so that it sees the messages sent while the
// window is created; those never reach a branch that reads TApp's members.
TApp::TApp(const std::string& Title)
    : TMinApplication(Title, [this](HWND W, UINT M, WPARAM Wp, LPARAM Lp) {
        return OnAppMessage(W, M, Wp, Lp);
      }) {
  if (!WTSRegisterSessionNotification(Handle, NOTIFY_FOR_ALL_SESSIONS)) ShowLastError();

  VolumesMenu = new TMinPopupMenu;
  VolumesMenu->OnPopup = [this](TMinPopupMenu* Sender) { OnVolumesMenuPopup(Sender); };
  OptionsMenu = new TMinPopupMenu;
  OptionsMenu->OnPopup = [this](TMinPopupMenu* Sender) { OnOptionsMenuPopup(Sender); };

  // Shared: the built-in icon is never destroyed, so it can come back after
  // a custom one.
  MainIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                           GetSystemMetrics(SM_CXSMICON),
                                           GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  TrayIcon = new TMinTrayIcon(MainIcon, true, Title);
  TrayIcon->OnMouse = [this](TMinTrayIcon* Sender, WORD Msg) { return OnTrayMouse(Sender, Msg); };
  TrayIcon->PopupMenu = OptionsMenu;
  TrayIcon->SetAutoRestore(true);

  RebuildMenusHook = [this] { RebuildMenus(); };
  VolumeResultHook = [this](int Index, const std::string& Text, bool Ok) {
    OnVolumeResult(Index, Text, Ok);
  };

  if (!ProcessIdToSessionId(GetCurrentProcessId(), &SessionId)) SessionId = 0;

  ExchangeSettings(false);
  LoadRememberedPassword();
  RefreshVolumes();
  ProcessVolumes();
  TrayIcon->SetShown(true);
}

TApp::~TApp() {
  SaveState();
  // Volume control outlives the application object; its hooks must not
  // reach a freed one.
  RebuildMenusHook = nullptr;
  VolumeResultHook = nullptr;
  if (!CustomIconPath.empty() && TrayIcon) {
    HICON Custom = TrayIcon->Icon;
    TrayIcon->SetIcon(MainIcon);
    DestroyIcon(Custom);
  }
}

void TApp::ExchangeSettings(bool Save) {
  TMinIniFile Ini(SettingsFileName(), Save);
  Ini.Section = SettingsSection;
  if (!Save) LoadIconSetting(Ini.ReadWriteString("Icon", ""));
  DismountAllOnSwitchUser = Ini.ReadWriteBool("DismountAllOnSwitchUser", DismountAllOnSwitchUser);
  SavePass = Ini.ReadWriteBool("SavePass", SavePass);
  RememberPassMin = Ini.ReadWriteInteger("RememberPassMin", RememberPassMin);
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
    HICON Loaded = static_cast<HICON>(
        LoadImageW(nullptr, Utf8ToWide(Path).c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    if (!Loaded) return;
    TrayIcon->SetIcon(Loaded);
    CustomIconPath = Path;
  }
  // The tray icon shares its pictures; a replaced custom one is ours to free.
  if (OldIsCustom && Old != TrayIcon->Icon) DestroyIcon(Old);
}

void TApp::SaveState() {
  ExchangeSettings(true);
  StopFileMonitors();
  SaveRememberedPassword();
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
          MountsHeld = false;
          ProcessVolumes();
          break;
        case WTS_CONSOLE_DISCONNECT:
          if (DismountAllOnSwitchUser) {
            MountsHeld = true;
            DismountAll(true);
          }
          break;
        case WTS_SESSION_LOGOFF:
          AppFlags |= afLoggingOff;
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
      if (!(AppFlags & afBusy)) VolumesMenu->PopupAtCursor();
      return true;
    case WM_RBUTTONUP:
      if (!(AppFlags & afBusy)) OptionsMenu->PopupAtCursor();
      return true;
  }
  return false;
}
