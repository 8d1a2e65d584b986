#include "StandinControl.h"

#include "LittleEndian.h"
#include "Scoped.h"
#include "StandinProtocol.h"
#include "Text.h"
#include "WineDrives.h"

#include <windows.h>

#include <cstdint>

namespace {

const wchar_t* DevicePath(StandinDevice Device) {
  return Device == StandinDevice::TrueCrypt ? L"\\\\.\\TrueCrypt" : L"\\\\.\\VeraCrypt";
}

TFileHandle OpenDevice(StandinDevice Device) {
  return TFileHandle(
      CreateFileW(DevicePath(Device), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

bool Control(StandinDevice Device, DWORD Code, void* Buffer, DWORD InSize, DWORD OutSize) {
  TFileHandle h = OpenDevice(Device);
  if (!h) return false;
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(h.get(), Code, InSize ? Buffer : nullptr, InSize, OutSize ? Buffer : nullptr, OutSize,
                            &returned, nullptr);
  return ok != FALSE;
}

void Put32(std::vector<unsigned char>& b, size_t off, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[off + i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t Get32(const std::vector<unsigned char>& b, size_t off) { return LoadLE32(&b[off]); }

bool ValidLetter(char Letter) { return Letter >= 'A' && Letter <= 'Z'; }

// The build tree's stand-in folder, as a Windows path.
std::string StandinDir() {
  std::string dir = WineDosPath(STANDIN_BINARY_DIR);
  return dir.empty() ? std::string(STANDIN_BINARY_DIR) : dir;
}

// Install folder and file of each build, as standin/CMakeLists.txt makes them.
const char* BuildFile(StandinBuild Build) {
  switch (Build) {
    case StandinBuild::VeraCrypt119:
      return "VeraCrypt-1.19\\VeraCrypt.exe";
    case StandinBuild::VeraCrypt116:
      return "VeraCrypt-1.16\\VeraCrypt.exe";
    case StandinBuild::VeraCrypt115:
      return "VeraCrypt-1.15\\VeraCrypt.exe";
    case StandinBuild::VeraCrypt113:
      return "VeraCrypt-1.13\\VeraCrypt.exe";
    case StandinBuild::TrueCrypt71a:
      return "TrueCrypt\\TrueCrypt.exe";
    case StandinBuild::VeraCrypt121:
      break;
  }
  return "VeraCrypt\\VeraCrypt.exe";
}

bool DevicesOpen() {
  for (StandinDevice d : {StandinDevice::VeraCrypt, StandinDevice::TrueCrypt}) {
    if (!OpenDevice(d)) return false;
  }
  return true;
}

}  // namespace

std::string StandinProgramPath(StandinBuild Build) { return StandinDir() + "\\" + BuildFile(Build); }

std::string StandinDriverPath() { return StandinDir() + "\\driver\\TcStandin.sys"; }

bool StartStandinDriver() {
  if (DevicesOpen()) return true;
  SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!scm) return false;
  std::wstring binary = Utf8ToWide(StandinDriverPath());
  SC_HANDLE service = CreateServiceW(scm, STANDIN_SERVICE_NAME, STANDIN_SERVICE_NAME, SERVICE_ALL_ACCESS,
                                     SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, binary.c_str(),
                                     nullptr, nullptr, nullptr, nullptr, nullptr);
  if (!service && GetLastError() == ERROR_SERVICE_EXISTS) {
    // Left by an earlier build: point it at this one.
    service = OpenServiceW(scm, STANDIN_SERVICE_NAME, SERVICE_ALL_ACCESS);
    if (service)
      ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, binary.c_str(), nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  bool started = false;
  if (service) {
    started = StartServiceW(service, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    CloseServiceHandle(service);
  }
  CloseServiceHandle(scm);
  if (!started) return false;
  // The service manager answers before the driver has made its devices.
  for (int i = 0; i < 100; ++i) {
    if (DevicesOpen()) return true;
    Sleep(50);
  }
  return false;
}

bool StopStandinDriver() {
  SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!scm) return false;
  SC_HANDLE service = OpenServiceW(scm, STANDIN_SERVICE_NAME, SERVICE_STOP);
  if (service) {
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(scm);
  for (int i = 0; i < 100; ++i) {
    if (!OpenDevice(StandinDevice::VeraCrypt)) return true;
    Sleep(50);
  }
  return false;
}

bool SetStandinMount(StandinDevice Device, char Letter, const std::string& VolumeName, bool TrueCryptMode) {
  std::wstring name = Utf8ToWide(VolumeName);
  if (!ValidLetter(Letter) || name.size() >= STANDIN_NAME_CHARS) return false;
  std::vector<unsigned char> request(STANDIN_SET_SIZE, 0);
  Put32(request, STANDIN_SET_LETTER_OFFSET, static_cast<uint32_t>(Letter - 'A'));
  Put32(request, STANDIN_SET_FLAG_OFFSET, TrueCryptMode ? 1 : 0);
  for (size_t i = 0; i < name.size(); ++i) {
    request[STANDIN_SET_NAME_OFFSET + 2 * i] = static_cast<unsigned char>(name[i]);
    request[STANDIN_SET_NAME_OFFSET + 2 * i + 1] = static_cast<unsigned char>(name[i] >> 8);
  }
  return Control(Device, STANDIN_SET_MOUNT_CODE, request.data(), STANDIN_SET_SIZE, 0);
}

bool ClearStandinMount(StandinDevice Device, char Letter) {
  if (!ValidLetter(Letter)) return false;
  std::vector<unsigned char> request(4, 0);
  Put32(request, 0, static_cast<uint32_t>(Letter - 'A'));
  return Control(Device, STANDIN_CLEAR_MOUNT_CODE, request.data(), 4, 0);
}

bool ClearStandinMounts(StandinDevice Device) { return Control(Device, STANDIN_CLEAR_MOUNT_CODE, nullptr, 0, 0); }

bool QueryStandinMounts(StandinDevice Device, std::vector<StandinMount>& Mounts) {
  Mounts.clear();
  bool trueCrypt = Device == StandinDevice::TrueCrypt;
  DWORD size = trueCrypt ? STANDIN_MOUNT_LIST_TRUECRYPT_SIZE : STANDIN_MOUNT_LIST_VERACRYPT_SIZE;
  std::vector<unsigned char> reply(size, 0);
  if (!Control(Device, STANDIN_MOUNT_LIST_CODE, reply.data(), size, size)) return false;
  uint32_t bits = Get32(reply, STANDIN_BITS_OFFSET);
  for (uint32_t k = 0; k < STANDIN_LETTERS; ++k) {
    if (!(bits & (1u << k))) continue;
    std::wstring name;
    for (uint32_t c = 0; c < STANDIN_NAME_CHARS; ++c) {
      size_t off = STANDIN_NAMES_OFFSET + k * STANDIN_NAME_BYTES + c * 2;
      wchar_t ch = static_cast<wchar_t>(reply[off] | reply[off + 1] << 8);
      if (!ch) break;
      name.push_back(ch);
    }
    bool mode = trueCrypt || Get32(reply, STANDIN_FLAGS_OFFSET + k * 4) != 0;
    Mounts.push_back({static_cast<char>('A' + k), WideToUtf8(name), mode});
  }
  return true;
}
