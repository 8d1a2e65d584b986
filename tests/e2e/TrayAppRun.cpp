#include "TrayAppRun.h"

#include <commctrl.h>
#include <shlobj.h>

#include "WineDrives.h"

namespace {

std::string AppDataFolder() {
  wchar_t Path[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, Path))) return {};
  return WideToUtf8(Path) + "\\";
}

std::string ClassOf(HWND Window) {
  wchar_t Name[64] = {};
  GetClassNameW(Window, Name, 64);
  return WideToUtf8(Name);
}

// Top-level windows of a process with the given class.
std::vector<HWND> WindowsOf(DWORD ProcessId, const std::string& Class, bool VisibleOnly) {
  struct Query {
    DWORD Pid;
    std::string Class;
    bool Visible;
    std::vector<HWND> Found;
  } Q{ProcessId, Class, VisibleOnly, {}};
  EnumWindows(
      [](HWND W, LPARAM L) -> BOOL {
        auto* Q = reinterpret_cast<Query*>(L);
        DWORD Pid = 0;
        GetWindowThreadProcessId(W, &Pid);
        if (Pid == Q->Pid && ClassOf(W) == Q->Class && (!Q->Visible || IsWindowVisible(W)))
          Q->Found.push_back(W);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Q));
  return Q.Found;
}

void RunAndWait(const std::string& Program, const std::string& Params) {
  std::wstring CommandLine = L"\"" + Utf8ToWide(Program) + L"\" " + Utf8ToWide(Params);
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Info{};
  if (!CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &Startup, &Info))
    return;
  WaitForSingleObject(Info.hProcess, 15000);
  CloseHandle(Info.hThread);
  CloseHandle(Info.hProcess);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& Condition, DWORD TimeoutMs) {
  const ULONGLONG End = GetTickCount64() + TimeoutMs;
  for (;;) {
    if (Condition()) return true;
    if (GetTickCount64() >= End) return false;
    Sleep(50);
  }
}

TrayAppRun::TrayAppRun(const std::string& Name) : FName(Name), FFolder("e2e-" + Name) {
  FProgram = FFolder / (Name + ".exe");
  std::string Built = WineDosPath(TRAYVM_EXE);
  CopyFileW(Utf8ToWide(Built.empty() ? TRAYVM_EXE : Built).c_str(), Utf8ToWide(FProgram).c_str(), FALSE);
  DeleteFileW(Utf8ToWide(SettingsPath()).c_str());
  DeleteFileW(Utf8ToWide(PasswordFilePath()).c_str());
  DeleteFileW(Utf8ToWide(AppDataConfigPath()).c_str());
  SHCreateDirectoryExW(nullptr, Utf8ToWide(UserDir()).c_str(), nullptr);
  StartStandinDriver();
  DismountLeftovers();
  SetEnvironmentVariableW(L"STANDIN_LOG", Utf8ToWide(FFolder / "commands.log").c_str());
  SetEnvironmentVariableW(L"STANDIN_DELAY_MS", nullptr);
  SetEnvironmentVariableW(L"STANDIN_REFUSE", nullptr);
}

TrayAppRun::~TrayAppRun() {
  if (FProcess.hProcess) {
    if (Running()) TerminateProcess(FProcess.hProcess, 99);
    WaitForSingleObject(FProcess.hProcess, 5000);
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
  }
  DismountLeftovers();
  DeleteFileW(Utf8ToWide(AppDataConfigPath()).c_str());
  SetEnvironmentVariableW(L"STANDIN_LOG", nullptr);
  // Editors the shell opened for a config or the settings.
  EnumWindows(
      [](HWND W, LPARAM) -> BOOL {
        if (ClassOf(W) == "Notepad") PostMessageW(W, WM_CLOSE, 0, 0);
        return TRUE;
      },
      0);
}

// Whatever is mounted is dismounted by the stand-in itself, which also gives
// its drive letter back, so the scenarios find their letters free.
void TrayAppRun::DismountLeftovers() const {
  for (const StandinMount& M : Mounts())
    RunAndWait(CryptProgram(), std::string("/q /s /d ") + M.Letter + " /f");
  ClearStandinMounts(StandinDevice::VeraCrypt);
}

std::string TrayAppRun::UserDir() const { return AppDataFolder() + "Vaultline\\" + FName + "\\"; }
std::string TrayAppRun::SettingsPath() const { return UserDir() + FName + ".ini"; }
std::string TrayAppRun::PasswordFilePath() const { return UserDir() + "1.d"; }
std::string TrayAppRun::AppDataConfigPath() { return AppDataFolder() + ".tcvinfo.ini"; }
std::string TrayAppRun::CryptProgram() { return StandinProgramPath(StandinBuild::VeraCrypt121); }

void TrayAppRun::WriteSettings(const std::string& CommonLines) {
  WriteTextFile("[Common]\r\nPath=" + CryptProgram() + "\r\n" + CommonLines, SettingsPath());
}

std::string TrayAppRun::ReadSettings() const { return ReadTextFile(SettingsPath()); }

std::string TrayAppRun::AddContainer(const std::string& FileName, const std::string& Password) {
  const std::string Path = FFolder / FileName;
  WriteTextFile("container", Path);
  WriteTextFile(Password, Path + ".password");
  return Path;
}

void TrayAppRun::WriteVolumeConfig(const std::string& Text) { WriteTextFile(Text, AppDataConfigPath()); }

bool TrayAppRun::Start(const std::string& Params) {
  if (FProcess.hProcess) {
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
    FProcess = {};
  }
  std::wstring CommandLine = L"\"" + Utf8ToWide(FProgram) + L"\"";
  if (!Params.empty()) CommandLine += L" " + Utf8ToWide(Params);
  // Standard handles on NUL: what the program starts (an editor through the
  // shell) must not hold the test runner's pipes open.
  SECURITY_ATTRIBUTES Inherit{sizeof Inherit, nullptr, TRUE};
  HANDLE Nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &Inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  Startup.dwFlags = STARTF_USESTDHANDLES;
  Startup.hStdInput = Startup.hStdOutput = Startup.hStdError = Nul;
  const BOOL Started = CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      Utf8ToWide(FFolder.Path()).c_str(), &Startup, &FProcess);
  CloseHandle(Nul);
  if (!Started) return false;
  return WaitUntil([this] { return Window() != nullptr; }, 15000);
}

bool TrayAppRun::Running() const {
  return FProcess.hProcess && WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT;
}

int TrayAppRun::WaitForExit(DWORD TimeoutMs) {
  if (!FProcess.hProcess || WaitForSingleObject(FProcess.hProcess, TimeoutMs) != WAIT_OBJECT_0)
    return -1;
  DWORD Code = 0;
  GetExitCodeProcess(FProcess.hProcess, &Code);
  return static_cast<int>(Code);
}

HWND TrayAppRun::Window() const {
  if (!FProcess.hProcess) return nullptr;
  auto Found = WindowsOf(FProcess.dwProcessId, "PelmoMinApplicationClass", false);
  return Found.empty() ? nullptr : Found.front();
}

HWND TrayAppRun::WaitForInputBox(DWORD TimeoutMs) const {
  HWND Box = nullptr;
  WaitUntil(
      [&] {
        auto Found = WindowsOf(FProcess.dwProcessId, "InputBox", true);
        Box = Found.empty() ? nullptr : Found.front();
        return Box != nullptr;
      },
      TimeoutMs);
  return Box;
}

std::string TrayAppRun::InputBoxPrompt(HWND Box) const {
  wchar_t Text[256] = {};
  for (HWND Child = GetWindow(Box, GW_CHILD); Child; Child = GetWindow(Child, GW_HWNDNEXT)) {
    if (ClassOf(Child) == "Static") {
      GetWindowTextW(Child, Text, 256);
      return WideToUtf8(Text);
    }
  }
  return {};
}

void TrayAppRun::AnswerInputBox(HWND Box, const std::string& Text, bool Ok) const {
  HWND Edit = GetDlgItem(Box, 1001);
  SendMessageW(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(Text).c_str()));
  SendMessageW(GetDlgItem(Box, Ok ? 1002 : 1003), BM_CLICK, 0, 0);
}

void TrayAppRun::PostToWindow(UINT Msg, WPARAM WParam, LPARAM LParam) const {
  PostMessageW(Window(), Msg, WParam, LParam);
}

void TrayAppRun::PostTrayMouse(UINT MouseMessage) const {
  PostToWindow(TrayCallbackMessage, TrayIconId, MouseMessage);
}

void TrayAppRun::PostSessionChange(WPARAM Code, DWORD Session) const {
  PostToWindow(WM_WTSSESSION_CHANGE, Code, static_cast<LPARAM>(Session));
}

HWND TrayAppRun::MenuWindow() const {
  auto Found = WindowsOf(FProcess.dwProcessId, "#32768", true);
  return Found.empty() ? nullptr : Found.back();
}

HWND TrayAppRun::WaitForMenu(DWORD TimeoutMs) const {
  HWND Menu = nullptr;
  WaitUntil([&] { return (Menu = MenuWindow()) != nullptr; }, TimeoutMs);
  return Menu;
}

void TrayAppRun::PressMenuKey(HWND Menu, WORD Key) const {
  PostMessageW(Menu, WM_KEYDOWN, Key, 0);
  Sleep(40);
}

bool TrayAppRun::ChooseFromMenu(UINT MouseMessage, std::vector<int> Path) {
  PostTrayMouse(MouseMessage);
  HWND Menu = WaitForMenu();
  if (!Menu) return false;
  Sleep(100);
  for (std::size_t Level = 0; Level < Path.size(); ++Level) {
    int Moves = Path[Level];
    if (Level > 0) {
      PressMenuKey(Menu, VK_RIGHT);
      Sleep(100);
    }
    for (; Moves > 0; --Moves) PressMenuKey(Menu, VK_DOWN);
    for (; Moves < 0; ++Moves) PressMenuKey(Menu, VK_UP);
  }
  PressMenuKey(Menu, VK_RETURN);
  return WaitUntil([this] { return MenuWindow() == nullptr; }, 5000);
}

std::string TrayAppRun::CommandLog() const { return ReadTextFile(FFolder / "commands.log"); }

std::vector<StandinMount> TrayAppRun::Mounts() const {
  std::vector<StandinMount> Result;
  QueryStandinMounts(StandinDevice::VeraCrypt, Result);
  return Result;
}

bool TrayAppRun::WaitForMountCount(std::size_t Count, DWORD TimeoutMs) {
  return WaitUntil([&] { return Mounts().size() == Count; }, TimeoutMs);
}

std::string TrayAppRun::StartWithMountedVolume(const std::string& CommonLines,
                                               const std::string& Params) {
  WriteSettings(CommonLines);
  const std::string Container = AddContainer("data.hc", "secret");
  WriteVolumeConfig("[Data]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\n");
  if (!Start(Params)) return {};
  HWND Box = WaitForInputBox();
  if (!Box) return {};
  AnswerInputBox(Box, "secret");
  // Mounted, and the program has seen it.
  return WaitForMountCount(1) && WaitForBalloon("Data") ? Container : std::string();
}

DWORD TrayAppRun::SessionId() const {
  DWORD Session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &Session);
  return Session;
}

HWND TrayAppRun::VisibleBalloon() {
  HWND Found = nullptr;
  EnumWindows(
      [](HWND W, LPARAM L) -> BOOL {
        if (!IsWindowVisible(W) || ClassOf(W) != "tooltips_class32") return TRUE;
        *reinterpret_cast<HWND*>(L) = W;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&Found));
  return Found;
}

std::string TrayAppRun::BalloonText(HWND Tip) {
  DWORD Pid = 0;
  GetWindowThreadProcessId(Tip, &Pid);
  HANDLE Process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, Pid);
  if (!Process) return {};
  // The tooltip fills the record and the text buffer in its own process.
  auto* Remote = static_cast<char*>(VirtualAllocEx(Process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  std::string Text;
  if (Remote) {
    constexpr int Chars = 512;
    TOOLINFOW Info{};
    Info.cbSize = sizeof Info;
    Info.lpszText = reinterpret_cast<WCHAR*>(Remote + 1024);
    const wchar_t Empty[1] = {0};
    WriteProcessMemory(Process, Remote, &Info, sizeof Info, nullptr);
    WriteProcessMemory(Process, Remote + 1024, Empty, sizeof Empty, nullptr);
    SendMessageTimeoutW(Tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(Remote), SMTO_BLOCK, 2000, nullptr);
    wchar_t Buffer[Chars + 1] = {};
    ReadProcessMemory(Process, Remote + 1024, Buffer, Chars * sizeof(wchar_t), nullptr);
    VirtualFreeEx(Process, Remote, 0, MEM_RELEASE);
    Text = WideToUtf8(Buffer);
  }
  CloseHandle(Process);
  return Text;
}

HWND TrayAppRun::WaitForBalloon(const std::string& Text, HWND Previous, DWORD TimeoutMs) {
  HWND Found = nullptr;
  WaitUntil(
      [&] {
        Found = VisibleBalloon();
        return Found && Found != Previous && BalloonText(Found) == Text;
      },
      TimeoutMs);
  return Found && Found != Previous && BalloonText(Found) == Text ? Found : nullptr;
}
