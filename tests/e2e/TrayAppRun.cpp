#include "TrayAppRun.h"

#include <psapi.h>

#include <commctrl.h>
#include <cstdlib>
#include <shellapi.h>
#include <dbt.h>
#include <shlobj.h>

#include "Files.h"
#include "Process.h"
#include "Text.h"
#include "WineDesktop.h"

namespace {

std::string AppDataFolder() {
  wchar_t Path[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, Path))) return {};
  return WideToUtf8(Path) + "\\";
}

std::string CryptProgram() { return StandinProgramPath(StandinBuild::VeraCrypt121); }

// The stand-in dismounts what is left, giving its letters back for the next
// scenario.
void DismountLeftovers() {
  for (const StandinMount& M : TrayAppRun::Mounts())
    RunProcess(CryptProgram(), std::string("/q /s /d ") + M.Letter + " /f", true);
  ClearStandinMounts(StandinDevice::VeraCrypt);
}

// The text a tooltip holds, read by letting it fill a buffer in its own process.
std::string ToolText(HWND Tip) {
  DWORD Pid = 0;
  GetWindowThreadProcessId(Tip, &Pid);
  const TKernelHandle Process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, Pid));
  auto* Remote =
      Process ? static_cast<char*>(VirtualAllocEx(Process.get(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE)) : nullptr;
  if (!Remote) return {};
  wchar_t Buffer[513] = {};
  TOOLINFOW Info{};
  Info.cbSize = sizeof Info;
  Info.lpszText = reinterpret_cast<WCHAR*>(Remote + 1024);
  WriteProcessMemory(Process.get(), Remote, &Info, sizeof Info, nullptr);
  WriteProcessMemory(Process.get(), Remote + 1024, Buffer, sizeof(wchar_t), nullptr);
  SendMessageTimeoutW(Tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(Remote), SMTO_BLOCK, 2000, nullptr);
  ReadProcessMemory(Process.get(), Remote + 1024, Buffer, 512 * sizeof(wchar_t), nullptr);
  VirtualFreeEx(Process.get(), Remote, 0, MEM_RELEASE);
  return WideToUtf8(Buffer);
}

// A /proc file read whole through Wine's Z: drive (its size reads as 0).
std::string ReadProcFile(const std::string& Path) {
  TFileHandle File(
      CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string Text;
  char Buffer[4096];
  DWORD Read = 0;
  while (File && ReadFile(File.get(), Buffer, sizeof Buffer, &Read, nullptr) && Read > 0) Text.append(Buffer, Read);
  return Text;
}

// The Unix process that runs ExeName, or empty: its first argument ends with
// the name (other processes may name the file further on).
std::string UnixProcessFolder(const std::string& ExeName) {
  WIN32_FIND_DATAW Entry;
  TFindHandle Find(FindFirstFileW(L"Z:\\proc\\*", &Entry));
  if (!Find) return {};
  do {
    const std::string Name = WideToUtf8(Entry.cFileName);
    if (Name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string Folder = "Z:\\proc\\" + Name;
    const std::string Command = ReadProcFile(Folder + "\\cmdline");
    const std::string First = Command.substr(0, Command.find('\0'));
    if (First.size() >= ExeName.size() && First.compare(First.size() - ExeName.size(), ExeName.size(), ExeName) == 0)
      return Folder;
  } while (FindNextFileW(Find.get(), &Entry));
  return {};
}

}  // namespace

bool WaitUntil(const std::function<bool()>& Condition, DWORD TimeoutMs) {
  const ULONGLONG End = GetTickCount64() + TimeoutMs;
  for (;; Sleep(50)) {
    if (Condition()) return true;
    if (GetTickCount64() >= End) return false;
  }
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> All;
  EnumWindows(
      [](HWND W, LPARAM L) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(L)->push_back(W);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&All));
  return All;
}

std::string ClassOf(HWND Window) {
  wchar_t Name[64] = {};
  GetClassNameW(Window, Name, 64);
  return WideToUtf8(Name);
}

HWND WindowOf(DWORD ProcessId, const std::string& Class, bool VisibleOnly) {
  for (const HWND W : TopLevelWindows()) {
    DWORD Pid = 0;
    GetWindowThreadProcessId(W, &Pid);
    if (Pid == ProcessId && ClassOf(W) == Class && (!VisibleOnly || IsWindowVisible(W))) return W;
  }
  return nullptr;
}

int ExitCodeWithin(HANDLE Process, DWORD TimeoutMs) {
  DWORD Code = 0;
  if (!Process || WaitForSingleObject(Process, TimeoutMs) != WAIT_OBJECT_0) return -1;
  GetExitCodeProcess(Process, &Code);
  return static_cast<int>(Code);
}

TrayAppRun::TrayAppRun(const std::string& Name) : FName(Name), FFolder("e2e-" + Name) {
  FProgram = FFolder / (Name + ".exe");
  // The release check runs scenarios on the program it unpacked.
  const char* Chosen = std::getenv("TRAYVM_EXE");
  const std::string Source = Chosen ? Chosen : TRAYVM_EXE;
  const std::string Built = WineDosPath(Source);
  CopyFileW(Utf8ToWide(Built.empty() ? Source : Built).c_str(), Utf8ToWide(FProgram).c_str(), FALSE);
  for (const std::string& File : {SettingsPath(), PasswordFilePath(), LogPath(), AppDataConfigPath()})
    DeleteFileW(Utf8ToWide(File).c_str());
  ForceDirsEx(AppDataFolder() + "Vaultline\\" + FName);
  StartStandinDriver();
  DismountLeftovers();
  SetEnvironmentVariableW(L"STANDIN_LOG", Utf8ToWide(FFolder / "commands.log").c_str());
  // A mount takes about a second, as key derivation does.
  SetEnvironmentVariableW(L"STANDIN_DELAY_MS", L"1000");
  SetEnvironmentVariableW(L"STANDIN_REFUSE", nullptr);
  SetEnvironmentVariableW(L"STANDIN_IN_USE", nullptr);
}

TrayAppRun::~TrayAppRun() {
  if (Running()) TerminateProcess(FProcess.get(), 99);
  WaitForSingleObject(FProcess.get(), 5000);
  // A mount the program started may still be running: it outlives the
  // program, so its volume is let appear before the leftovers go.
  if (Has(CommandLog(), "/v ")) Sleep(1500);
  DismountLeftovers();
  DeleteFileW(Utf8ToWide(AppDataConfigPath()).c_str());
  SetEnvironmentVariableW(L"STANDIN_LOG", nullptr);
  // Editors the shell opened for a config or the settings.
  for (const HWND W : TopLevelWindows())
    if (ClassOf(W) == "Notepad") PostMessageW(W, WM_CLOSE, 0, 0);
}

void TrayAppRun::MoveProgramTo(const std::string& Folder) {
  const std::string Moved = Folder + "\\" + FName + ".exe";
  CopyFileW(Utf8ToWide(FProgram).c_str(), Utf8ToWide(Moved).c_str(), FALSE);
  FProgram = Moved;
}

std::string TrayAppRun::SettingsPath() const { return AppDataFolder() + "Vaultline\\" + FName + "\\" + FName + ".ini"; }
std::string TrayAppRun::PasswordFilePath() const { return AppDataFolder() + "Vaultline\\" + FName + "\\1.d"; }
std::string TrayAppRun::LogPath() const { return AppDataFolder() + "Vaultline\\" + FName + "\\" + FName + ".log"; }
std::string TrayAppRun::AppDataConfigPath() { return AppDataFolder() + ".tcvinfo.ini"; }

void TrayAppRun::WriteSettings(const std::string& CommonLines) {
  WriteFileBytes(SettingsPath(), "[Common]\r\nPath=" + CryptProgram() + "\r\n" + CommonLines);
}

std::string TrayAppRun::AddContainer(const std::string& FileName, const std::string& Password) {
  const std::string Path = FFolder / FileName;
  WriteFileBytes(Path, "container");
  WriteFileBytes(Path + ".password", Password);
  return Path;
}

std::string TrayAppRun::StartWithAutoVolume(const std::string& CommonLines, const std::string& Params) {
  WriteSettings(CommonLines);
  const std::string Container = AddContainer("data.hc", "secret");
  WriteFileBytes(AppDataConfigPath(), "[Data]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\n");
  return Start(Params) ? Container : std::string();
}

std::string TrayAppRun::StartWithMountedVolume(const std::string& CommonLines, const std::string& Params) {
  const std::string Container = StartWithAutoVolume(CommonLines, Params);
  const bool Mounted = !Container.empty() && AnswerPrompt("Default Password:", "secret") && WaitForMountCount(1) &&
                       WaitForBalloon("Data (R:)");
  return Mounted ? Container : std::string();
}

bool TrayAppRun::Start(const std::string& Params) {
  std::wstring CommandLine = L"\"" + Utf8ToWide(FProgram) + L"\" " + Utf8ToWide(Params);
  // Standard handles on NUL: an editor the program opens must not hold the
  // test runner's pipes open.
  SECURITY_ATTRIBUTES Inherit{sizeof Inherit, nullptr, TRUE};
  const TFileHandle Nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &Inherit,
                                    OPEN_EXISTING, 0, nullptr));
  STARTUPINFOW Startup{sizeof Startup};
  Startup.dwFlags = STARTF_USESTDHANDLES;
  Startup.hStdInput = Startup.hStdOutput = Startup.hStdError = Nul.get();
  PROCESS_INFORMATION Info{};
  const BOOL Started = CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      Utf8ToWide(FFolder.Path()).c_str(), &Startup, &Info);
  const TKernelHandle Thread(Info.hThread);
  FProcess.reset(Info.hProcess);
  FProcessId = Info.dwProcessId;
  return Started && WaitUntil([this] { return Window() != nullptr; }, 15000);
}

SIZE_T TrayAppRun::PeakMemory() const {
  PROCESS_MEMORY_COUNTERS Counters{};
  return K32GetProcessMemoryInfo(FProcess.get(), &Counters, sizeof Counters) ? Counters.PeakWorkingSetSize : 0;
}

int TrayAppRun::WaitForExit(DWORD TimeoutMs) { return ExitCodeWithin(FProcess.get(), TimeoutMs); }

HWND TrayAppRun::Window() const { return FProcess ? WindowOf(FProcessId, "PelmoMinApplicationClass", false) : nullptr; }

bool TrayAppRun::Send(UINT Msg, WPARAM WParam, LPARAM LParam, DWORD_PTR& Answer) const {
  return SendMessageTimeoutW(Window(), Msg, WParam, LParam, SMTO_BLOCK, 5000, &Answer) != 0;
}

bool TrayAppRun::SendDeviceChange(WPARAM Event, char Letter) const {
  DEV_BROADCAST_VOLUME Volume{};
  Volume.dbcv_size = sizeof Volume;
  Volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  Volume.dbcv_unitmask = 1u << (Letter - 'A');
  DWORD_PTR Answer = 0;
  return Send(WM_DEVICECHANGE, Event, reinterpret_cast<LPARAM>(&Volume), Answer);
}

DWORD TrayAppRun::SessionId() {
  DWORD Session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &Session);
  return Session;
}

HWND TrayAppRun::WaitForWindow(const char* Class, DWORD TimeoutMs) const {
  HWND Found = nullptr;
  WaitUntil([&] { return (Found = WindowOf(FProcessId, Class, true)) != nullptr; }, TimeoutMs);
  return Found;
}

void TrayAppRun::AnswerInputBox(HWND Box, const std::string& Text) {
  SendMessageW(GetDlgItem(Box, 1001), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(Text).c_str()));
  SendMessageW(GetDlgItem(Box, 1002), BM_CLICK, 0, 0);
}

HWND TrayAppRun::WaitForPrompt(const std::string& Prompt) const {
  // The box answered before may still be closing: wait for the one asking
  // this, in its one child without an identifier.
  HWND Box = nullptr;
  auto Asking = [&] {
    wchar_t Text[256] = {};
    return (Box = WindowOf(FProcessId, "InputBox", true)) && GetWindowTextW(GetDlgItem(Box, 0), Text, 256) &&
           WideToUtf8(Text) == Prompt;
  };
  return WaitUntil(Asking, 10000) ? Box : nullptr;
}

bool TrayAppRun::AnswerPrompt(const std::string& Prompt, const std::string& Text) const {
  const HWND Box = WaitForPrompt(Prompt);
  if (Box) AnswerInputBox(Box, Text);
  return Box;
}

bool TrayAppRun::TypeIntoPrompt(const std::string& Prompt, const std::string& Text) const {
  std::string Keys = "key --delay 20";
  for (char Letter : Text) (Keys += ' ') += Letter;
  const HWND Box = WaitForPrompt(Prompt);
  return Box && StartTyping(Box, Keys + " Return");
}

void TrayAppRun::PostTrayMouse(UINT ButtonUp) const {
  POINT Cursor{};
  GetCursorPos(&Cursor);
  const WPARAM Anchor = MAKEWPARAM(Cursor.x, Cursor.y);
  Post(WM_APP + 0x3008, Anchor, MAKELPARAM(ButtonUp, 1));
  Post(WM_APP + 0x3008, Anchor, MAKELPARAM(ButtonUp == WM_LBUTTONUP ? NIN_SELECT : WM_CONTEXTMENU, 1));
}

bool TrayAppRun::ChooseFromMenu(UINT MouseMessage, const std::vector<int>& Path,
                                const std::function<void()>& WhileOpen) {
  PostTrayMouse(MouseMessage);
  HWND Menu = WaitForWindow("#32768", 5000);
  if (!Menu) return false;
  if (WhileOpen) WhileOpen();
  auto Press = [Menu](WORD Key, DWORD Pause) {
    PostMessageW(Menu, WM_KEYDOWN, Key, 0);
    Sleep(Pause);
  };
  Sleep(100);
  for (std::size_t Level = 0; Level < Path.size(); ++Level) {
    if (Level > 0) Press(VK_RIGHT, 140);
    for (int Moves = Path[Level]; Moves != 0; Moves += Moves > 0 ? -1 : 1) Press(Moves > 0 ? VK_DOWN : VK_UP, 40);
  }
  Press(VK_RETURN, 40);
  return WaitUntil([this] { return !WindowOf(FProcessId, "#32768", true); }, 5000);
}

std::vector<StandinMount> TrayAppRun::Mounts() {
  std::vector<StandinMount> Result;
  QueryStandinMounts(StandinDevice::VeraCrypt, Result);
  return Result;
}

bool TrayAppRun::WaitForMountCount(std::size_t Count, DWORD TimeoutMs) {
  return WaitUntil([&] { return Mounts().size() == Count; }, TimeoutMs);
}

HWND TrayAppRun::VisibleBalloon() {
  for (const HWND W : TopLevelWindows())
    if (IsWindowVisible(W) && ClassOf(W) == "tooltips_class32") return W;
  return nullptr;
}

HWND TrayAppRun::WaitForBalloon(const std::string& Text, HWND Previous, DWORD TimeoutMs) {
  HWND Found = nullptr;
  auto Shown = [&] { return (Found = VisibleBalloon()) && Found != Previous && ToolText(Found) == Text; };
  return WaitUntil(Shown, TimeoutMs) ? Found : nullptr;
}

bool TrayAppRun::HasTip(const std::string& Text) {
  for (const HWND W : TopLevelWindows())
    if (ClassOf(W) == "tooltips_class32" && ToolText(W) == Text) return true;
  return false;
}

long long TrayAppRun::WakeUps() const {
  const std::string Folder = UnixProcessFolder(FName + ".exe");
  if (Folder.empty()) return -1;
  long long Sum = 0;
  WIN32_FIND_DATAW Entry;
  TFindHandle Find(FindFirstFileW(Utf8ToWide(Folder + "\\task\\*").c_str(), &Entry));
  if (!Find) return -1;
  do {
    const std::string Task = WideToUtf8(Entry.cFileName);
    if (Task == "." || Task == "..") continue;
    const std::string Status = ReadProcFile(Folder + "\\task\\" + Task + "\\status");
    const std::size_t At = Status.find("\nvoluntary_ctxt_switches:");
    if (At != std::string::npos) Sum += std::atoll(Status.c_str() + At + 25);
  } while (FindNextFileW(Find.get(), &Entry));
  return Sum;
}
