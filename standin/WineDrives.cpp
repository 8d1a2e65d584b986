#include "WineDrives.h"

#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <vector>
#include "Scoped.h"
#include "Text.h"

namespace {

// Wine's mount-manager device and its define-unix-drive control code
// (device type 0x6D, function 32, buffered, read and write access).
const wchar_t MountManagerDevice[] = L"\\\\.\\MountPointManager";
const DWORD DefineUnixDriveCode = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// The request record as Wine 8 reads it; the Unix path follows it.
const size_t RecordSize = 32;
const size_t OffSize = 0, OffType = 4, OffFsType = 8, OffSerial = 12, OffUnixDev = 16;
const size_t OffLetter = 24, OffMountPoint = 26, OffDevice = 28, OffLabel = 30;

void Put16(std::vector<unsigned char>& b, size_t off, uint16_t v) {
  b[off] = static_cast<unsigned char>(v);
  b[off + 1] = static_cast<unsigned char>(v >> 8);
}

void Put32(std::vector<unsigned char>& b, size_t off, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[off + i] = static_cast<unsigned char>(v >> (8 * i));
}

bool SendDefineUnixDrive(char Letter, UINT Type, const std::string& UnixPath) {
  if (Letter >= 'A' && Letter <= 'Z') Letter = static_cast<char>(Letter - 'A' + 'a');
  if (Letter < 'a' || Letter > 'z') return false;

  std::vector<unsigned char> request(RecordSize, 0);
  if (!UnixPath.empty()) {
    request.insert(request.end(), UnixPath.begin(), UnixPath.end());
    request.push_back(0);
    Put16(request, OffMountPoint, RecordSize);
  }
  Put32(request, OffSize, static_cast<uint32_t>(request.size()));
  Put32(request, OffType, Type);
  // NTFS, no serial, no Unix device, no device path, no label.
  Put32(request, OffFsType, 0);
  Put32(request, OffSerial, 0);
  for (int i = 0; i < 8; ++i) request[OffUnixDev + i] = 0;
  Put16(request, OffLetter, static_cast<uint16_t>(Letter));
  Put16(request, OffDevice, 0);
  Put16(request, OffLabel, 0);

  TFileHandle mgr(CreateFileW(MountManagerDevice, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!mgr) return false;
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(mgr.get(), DefineUnixDriveCode, request.data(), static_cast<DWORD>(request.size()), nullptr,
                            0, &returned, nullptr);
  return ok != FALSE;
}

bool RootVisible(char Letter) {
  wchar_t root[] = {static_cast<wchar_t>(Letter), L':', L'\\', 0};
  DWORD attr = GetFileAttributesW(root);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool WaitForRoot(char Letter, bool Visible) {
  for (int i = 0; i < 200; ++i) {
    if (RootVisible(Letter) == Visible) return true;
    Sleep(10);
  }
  return false;
}

// Runs a Unix program with Windows quoting of its arguments (Wine splits the
// command line by the Windows rules before it executes the program).
bool RunUnixTool(const std::string& Tool, const std::vector<std::string>& Args) {
  std::string program = WineDosPath(Tool);
  if (program.empty()) return false;
  std::wstring line = L"\"" + Utf8ToWide(program) + L"\"";
  for (const auto& a : Args) line += L" \"" + Utf8ToWide(a) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return false;
  const TKernelHandle process(pi.hProcess), thread(pi.hThread);
  return true;
}

// The prefix's dosdevices entry for Letter, found through drive C.
std::string DosDevicesLink(char Letter) {
  if (Letter >= 'A' && Letter <= 'Z') Letter = static_cast<char>(Letter - 'A' + 'a');
  if (Letter < 'a' || Letter > 'z') return {};
  std::string c = WineUnixPath("C:\\");
  const std::string tail = "/c:/";
  if (c.size() < tail.size() || c.compare(c.size() - tail.size(), tail.size(), tail) != 0) return {};
  return c.substr(0, c.size() - tail.size()) + "/" + std::string(1, Letter) + ":";
}

}  // namespace

std::string WineDosPath(const std::string& UnixPath) {
  using DosNameFn = WCHAR*(CDECL*)(LPCSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return {};
  auto dosName = reinterpret_cast<DosNameFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
  if (!dosName) return {};
  WCHAR* name = dosName(UnixPath.c_str());
  if (!name) return {};
  std::string result = WideToUtf8(name);
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

std::string WineUnixPath(const std::string& WindowsPath) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return {};
  auto unixName =
      reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
  if (!unixName) return {};
  char* name = unixName(Utf8ToWide(WindowsPath).c_str());
  if (!name) return {};
  std::string result(name);
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

bool MapWineDrive(char Letter, const std::string& Folder, WineDriveType Type) {
  std::string unixPath = !Folder.empty() && Folder[0] == '/' ? Folder : WineUnixPath(Folder);
  if (unixPath.empty()) return false;
  UINT type = Type == WineDriveType::Removable ? DRIVE_REMOVABLE : DRIVE_FIXED;
  return SendDefineUnixDrive(Letter, type, unixPath);
}

bool UnmapWineDrive(char Letter) {
  // The mount manager removes its own drives and their links; a bare link
  // it does not know is removed by hand.
  SendDefineUnixDrive(Letter, DRIVE_NO_ROOT_DIR, std::string());
  std::string link = DosDevicesLink(Letter);
  if (link.empty()) return false;
  // A link whose folder has gone still counts as a drive: it goes too.
  const bool visible = RootVisible(Letter);
  return RunUnixTool("/bin/rm", {"-f", link}) && (!visible || WaitForRoot(Letter, false));
}

bool LinkWineDrive(char Letter, const std::string& Folder) {
  std::string unixPath = !Folder.empty() && Folder[0] == '/' ? Folder : WineUnixPath(Folder);
  std::string link = DosDevicesLink(Letter);
  if (unixPath.empty() || link.empty()) return false;
  UnmapWineDrive(Letter);
  return RunUnixTool("/bin/ln", {"-sfn", unixPath, link}) && WaitForRoot(Letter, true);
}
