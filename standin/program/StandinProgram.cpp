// Stand-in for the encryption program (VeraCrypt.exe / TrueCrypt.exe).
//
// Understands the silent mount and dismount command lines:
//   /q /s /v PATH /l X [/tc] [/m OPTION]... [/k KEYFILE]... [/pim N] [/p PASSWORD]
//   /q /s /d X /f
// A mount checks PASSWORD, the keyfiles and the PIM against the sidecar
// files PATH.password, PATH.keyfiles and PATH.pim, maps drive X: to the
// folder PATH.d (removable with /m rm, else fixed) and records the volume in
// the stand-in driver; a dismount clears the letter and unmaps it. Every command line is appended
// to a log first. Knobs (environment): STANDIN_LOG, STANDIN_DELAY_MS,
// STANDIN_REFUSE, STANDIN_PARTITIONS; see standin/README.md.
#include "Scoped.h"
#include "StandinControl.h"
#include "Text.h"
#include "WineDrives.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

namespace {

enum ExitCode { ExitDone = 0, ExitRefused = 1, ExitBadCommandLine = 2 };

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

std::string Env(const wchar_t* Name) {
  wchar_t value[1024];
  DWORD n = GetEnvironmentVariableW(Name, value, 1024);
  return n > 0 && n < 1024 ? WideToUtf8(std::wstring(value, n)) : std::string();
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

std::wstring FolderOf(const std::wstring& Path) {
  size_t slash = Path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : Path.substr(0, slash);
}

// The command line without the program's own name, as it was received. The
// name ends at its closing quote, or at the first blank when unquoted
// (the same rule CommandLineToArgvW applies to it).
std::wstring Parameters(const std::wstring& CommandLine) {
  size_t i = 0;
  if (!CommandLine.empty() && CommandLine[0] == L'"') {
    i = CommandLine.find(L'"', 1);
    i = i == std::wstring::npos ? CommandLine.size() : i + 1;
  }
  while (i < CommandLine.size() && CommandLine[i] != L' ' && CommandLine[i] != L'\t') ++i;
  while (i < CommandLine.size() && (CommandLine[i] == L' ' || CommandLine[i] == L'\t')) ++i;
  return CommandLine.substr(i);
}

// Several copies may run at once (mount all): one line each, whole.
void AppendLog(const std::string& Line) {
  std::string path = Env(L"STANDIN_LOG");
  std::wstring file = path.empty() ? FolderOf(ModulePath()) + L"\\StandinCommands.log" : Utf8ToWide(path);
  const TKernelHandle mutex(CreateMutexW(nullptr, FALSE, L"TcStandinLog"));
  if (mutex) WaitForSingleObject(mutex.get(), 10000);
  if (TFileHandle h{CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)}) {
    std::string text = Line + "\n";
    DWORD written = 0;
    WriteFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
  if (mutex) ReleaseMutex(mutex.get());
}

struct Request {
  bool Mount = false;
  bool Dismount = false;
  std::wstring Volume;
  wchar_t Letter = 0;
  bool TrueCryptMode = false;
  bool Removable = false;
  bool Force = false;
  bool HasPassword = false;
  std::wstring Password;
  std::vector<std::wstring> Keyfiles;
  std::wstring Pim;
};

bool IsSwitch(const std::wstring& Arg, const wchar_t* Short, const wchar_t* Long) {
  if (Arg.size() < 2 || (Arg[0] != L'/' && Arg[0] != L'-')) return false;
  std::wstring name = Lower(Arg.substr(1));
  return name == Short || name == Long;
}

bool ParseLetter(const std::wstring& Text, wchar_t& Letter) {
  if (Text.empty() || Text.size() > 2 || (Text.size() == 2 && Text[1] != L':')) return false;
  wchar_t c = static_cast<wchar_t>(std::towupper(Text[0]));
  if (c < L'A' || c > L'Z') return false;
  Letter = c;
  return true;
}

// The switches of the real program that these command lines use, in their
// short and long forms; anything else is refused as a bad command line.
// TrueCrypt has no PIM.
bool Parse(const std::vector<std::wstring>& Args, bool IsTrueCrypt, Request& R) {
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::wstring& a = Args[i];
    bool hasNext = i + 1 < Args.size();
    if (IsSwitch(a, L"f", L"force")) {
      R.Force = true;
    } else if (IsSwitch(a, L"q", L"quit") || IsSwitch(a, L"s", L"silent")) {
      if (IsSwitch(a, L"q", L"quit") && hasNext && Args[i + 1][0] != L'/' && Args[i + 1][0] != L'-') ++i;
    } else if (IsSwitch(a, L"tc", L"truecrypt")) {
      R.TrueCryptMode = true;
    } else if (IsSwitch(a, L"v", L"volume") && hasNext) {
      R.Mount = true;
      R.Volume = Args[++i];
    } else if (IsSwitch(a, L"l", L"letter") && hasNext) {
      if (!ParseLetter(Args[++i], R.Letter)) return false;
    } else if (IsSwitch(a, L"p", L"password") && hasNext) {
      R.HasPassword = true;
      R.Password = Args[++i];
    } else if (IsSwitch(a, L"k", L"keyfile") && hasNext) {
      R.Keyfiles.push_back(Args[++i]);
    } else if (!IsTrueCrypt && IsSwitch(a, L"pim", L"pim") && hasNext) {
      R.Pim = Args[++i];
    } else if (IsSwitch(a, L"m", L"mountoption") && hasNext) {
      std::wstring option = Lower(Args[++i]);
      if (option == L"rm")
        R.Removable = true;
      else if (option != L"ro" && option != L"ts" && option != L"sm" && option.rfind(L"label=", 0) != 0)
        return false;
    } else if (IsSwitch(a, L"d", L"dismount") && hasNext) {
      R.Dismount = true;
      if (!ParseLetter(Args[++i], R.Letter)) return false;
    } else {
      return false;
    }
  }
  if (R.Mount == R.Dismount) return false;
  // Under /q /s the real program cannot ask: a mount without /p fails.
  if (R.Mount) return !R.Volume.empty() && R.Letter && R.HasPassword;
  return true;
}

bool Exists(const std::wstring& Path, bool Folder) {
  DWORD attr = GetFileAttributesW(Path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && ((attr & FILE_ATTRIBUTE_DIRECTORY) != 0) == Folder;
}

std::string ReadSidecar(const std::wstring& Path) {
  TFileHandle h(CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!h) return {};
  std::string text(64 * 1024, '\0');
  DWORD read = 0;
  ReadFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  text.resize(read);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// Where a volume's password and contents live: next to a container, or for
// a partition (\Device\HarddiskN\PartitionM) in STANDIN_PARTITIONS as
// HarddiskN-PartitionM.
std::wstring VolumeBase(const std::wstring& Volume, bool& IsPartition) {
  const std::wstring device = L"\\device\\";
  IsPartition = Lower(Volume).rfind(device, 0) == 0;
  if (!IsPartition) {
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(Volume.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full, n) : Volume;
  }
  std::wstring name = Volume.substr(device.size());
  for (auto& c : name)
    if (c == L'\\') c = L'-';
  std::string dir = Env(L"STANDIN_PARTITIONS");
  return (dir.empty() ? FolderOf(ModulePath()) : Utf8ToWide(dir)) + L"\\" + name;
}

bool Refused(const char* Operation) {
  std::string refuse = Env(L"STANDIN_REFUSE");
  return !refuse.empty() && refuse != "0" && (refuse == Operation || (refuse != "mount" && refuse != "dismount"));
}

// The sidecar's lines, without blank ones.
std::vector<std::wstring> SidecarLines(const std::wstring& Path) {
  std::vector<std::wstring> lines;
  std::wstring text = Utf8ToWide(ReadSidecar(Path));
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The password (none counts only with keyfiles), the keyfiles (existing, in
// the sidecar's order, paths compared without regard to case) and the PIM
// must all be what the volume's sidecars expect; a sidecar that is missing
// expects nothing.
bool Unlocks(const Request& R, const std::wstring& Base) {
  if (ReadSidecar(Base + L".password") != WideToUtf8(R.Password)) return false;
  std::vector<std::wstring> keyfiles = SidecarLines(Base + L".keyfiles");
  if (R.Password.empty() && keyfiles.empty()) return false;
  if (keyfiles.size() != R.Keyfiles.size()) return false;
  for (size_t i = 0; i < keyfiles.size(); ++i)
    if (Lower(keyfiles[i]) != Lower(R.Keyfiles[i]) || !Exists(R.Keyfiles[i], false)) return false;
  return ReadSidecar(Base + L".pim") == WideToUtf8(R.Pim);
}

int Mount(const Request& R, StandinDevice Device, bool IsTrueCrypt) {
  bool isPartition = false;
  std::wstring base = VolumeBase(R.Volume, isPartition);
  std::wstring folder = base + L".d";
  if (!isPartition && !Exists(base, false)) return ExitRefused;
  if (!Unlocks(R, base)) return ExitRefused;
  std::wstring root = std::wstring(1, R.Letter) + L":\\";
  if (Exists(root, true)) return ExitRefused;

  std::string name = WideToUtf8(isPartition ? R.Volume : L"\\??\\" + base);
  std::vector<StandinMount> mounts;
  if (!StartStandinDriver() || !QueryStandinMounts(Device, mounts)) return ExitRefused;
  for (const auto& m : mounts)
    if (Lower(Utf8ToWide(m.Name)) == Lower(Utf8ToWide(name))) return ExitRefused;

  CreateDirectoryW(folder.c_str(), nullptr);
  char letter = static_cast<char>(R.Letter);
  // A fixed volume is a bare link, so that its device answers no disk query
  // (as with the real driver); only the mount manager makes removable drives.
  bool mapped = R.Removable ? MapWineDrive(letter, WideToUtf8(folder), WineDriveType::Removable)
                            : LinkWineDrive(letter, WideToUtf8(folder));
  if (!mapped) return ExitRefused;
  if (!SetStandinMount(Device, letter, name, IsTrueCrypt || R.TrueCryptMode)) {
    UnmapWineDrive(letter);
    return ExitRefused;
  }
  return ExitDone;
}

int Dismount(const Request& R, StandinDevice Device) {
  char letter = static_cast<char>(R.Letter);
  // Files open on the volume: only a forced dismount closes them.
  if (!R.Force && Env(L"STANDIN_IN_USE").find(letter) != std::string::npos) return ExitRefused;
  std::vector<StandinMount> mounts;
  if (!QueryStandinMounts(Device, mounts)) return ExitRefused;
  for (const auto& m : mounts) {
    if (m.Letter != letter) continue;
    ClearStandinMount(Device, letter);
    UnmapWineDrive(letter);
    return ExitDone;
  }
  return ExitRefused;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::wstring commandLine = GetCommandLineW();
  AppendLog(WideToUtf8(Parameters(commandLine)));

  std::vector<std::wstring> args;
  int argc = 0;
  if (LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &argc)) {
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    LocalFree(argv);
  }
  std::wstring exe = ModulePath();
  bool isTrueCrypt = Lower(exe.substr(exe.find_last_of(L"\\/") + 1)) == L"truecrypt.exe";
  Request request;
  if (!Parse(args, isTrueCrypt, request)) return ExitBadCommandLine;

  std::string delay = Env(L"STANDIN_DELAY_MS");
  // Key derivation makes a mount slow; a dismount is quick.
  if (request.Mount && !delay.empty()) Sleep(static_cast<DWORD>(std::strtoul(delay.c_str(), nullptr, 10)));
  if (Refused(request.Mount ? "mount" : "dismount")) return ExitRefused;

  StandinDevice device = isTrueCrypt ? StandinDevice::TrueCrypt : StandinDevice::VeraCrypt;
  return request.Mount ? Mount(request, device, isTrueCrypt) : Dismount(request, device);
}
