#include "StandinControl.h"
#include "StandinProtocol.h"
#include "TestSupport.h"
#include "Files.h"
#include "Text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

uint32_t Get32(const std::vector<unsigned char>& b, size_t off)
{
  uint32_t v;
  std::memcpy(&v, b.data() + off, 4);
  return v;
}

std::wstring NameAt(const std::vector<unsigned char>& b, int Index)
{
  std::wstring name;
  for (size_t off = STANDIN_NAMES_OFFSET + Index * STANDIN_NAME_BYTES; b[off] || b[off + 1]; off += 2)
    name.push_back(static_cast<wchar_t>(b[off] | b[off + 1] << 8));
  return name;
}

// The mount-list request as the tray program sends it: one buffer, filled
// with a pattern here so that a reply that is not cleared shows.
bool AskMountList(const wchar_t* Device, DWORD Size, std::vector<unsigned char>& Reply)
{
  Reply.assign(Size, 0xA5);
  HANDLE h = CreateFileW(Device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(h, STANDIN_MOUNT_LIST_CODE, Reply.data(), Size, Reply.data(), Size, &returned, nullptr);
  CloseHandle(h);
  return ok && returned == Size;
}

DWORD RunProgram(const std::string& Program, const std::string& Parameters)
{
  std::wstring line = L"\"" + Utf8ToWide(Program) + L"\" " + Utf8ToWide(Parameters);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return static_cast<DWORD>(-1);
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

bool RootExists(char Letter)
{
  return GetFileAttributesA((std::string(1, Letter) + ":\\").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Writes Name in the drive's root while a change watch is on the root.
bool WriteNoticed(char Letter, const std::string& Name)
{
  std::string root = std::string(1, Letter) + ":\\";
  HANDLE dir = CreateFileA(root.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  if (dir == INVALID_HANDLE_VALUE) return false;
  alignas(DWORD) unsigned char notices[4096];
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool noticed = false;
  if (ReadDirectoryChangesW(dir, notices, sizeof(notices), TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE,
                            nullptr, &ov, nullptr) &&
      WriteFileBytes(root + Name, "x"))
    noticed = WaitForSingleObject(ov.hEvent, 5000) == WAIT_OBJECT_0;
  CancelIo(dir);
  CloseHandle(ov.hEvent);
  CloseHandle(dir);
  return noticed;
}

const StandinMount* FindMount(const std::vector<StandinMount>& Mounts, char Letter)
{
  for (const auto& m : Mounts)
    if (m.Letter == Letter) return &m;
  return nullptr;
}

class StandinDriver : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(StartStandinDriver());
    ASSERT_TRUE(ClearStandinMounts(StandinDevice::VeraCrypt));
    ASSERT_TRUE(ClearStandinMounts(StandinDevice::TrueCrypt));
  }
  void TearDown() override
  {
    ClearStandinMounts(StandinDevice::VeraCrypt);
    ClearStandinMounts(StandinDevice::TrueCrypt);
  }
};

// A test volume: container, password sidecar, its own log and knobs.
class StandinProgram : public StandinDriver {
protected:
  void SetUp() override
  {
    StandinDriver::SetUp();
    Container = Folder / "my vault.hc";
    ASSERT_TRUE(WriteFileBytes(Container, "not really encrypted"));
    ASSERT_TRUE(WriteFileBytes(Container + ".password", "pa ss\"word\r\n"));
    Log = Folder / "commands.log";
    SetEnvironmentVariableW(L"STANDIN_LOG", Utf8ToWide(Log).c_str());
    Letter = UnusedDriveLetter('P');
    ASSERT_NE(Letter, 0);
  }
  void TearDown() override
  {
    SetEnvironmentVariableW(L"STANDIN_LOG", nullptr);
    SetEnvironmentVariableW(L"STANDIN_REFUSE", nullptr);
    SetEnvironmentVariableW(L"STANDIN_DELAY_MS", nullptr);
    UnmapWineDrive(Letter);
    StandinDriver::TearDown();
  }
  std::string MountLine(const std::string& Password) const
  {
    return "/q /s /v \"" + Container + "\" /l " + std::string(1, Letter) + " /m label=Data /p " + Password;
  }

  ScratchFolder Folder{"standin"};
  std::string Container, Log;
  char Letter = 0;
};

}  // namespace

TEST_F(StandinDriver, AnswersEveryReplySize)
{
  ASSERT_TRUE(SetStandinMount(StandinDevice::VeraCrypt, 'T', "\\??\\C:\\Vol\\a.hc", true));
  ASSERT_TRUE(SetStandinMount(StandinDevice::VeraCrypt, 'E', "\\Device\\Harddisk1\\Partition2", false));
  ASSERT_TRUE(SetStandinMount(StandinDevice::TrueCrypt, 'Z', "\\??\\D:\\t.tc", false));

  for (DWORD size : {STANDIN_MOUNT_LIST_VERACRYPT_OLD_SIZE, STANDIN_MOUNT_LIST_VERACRYPT_SIZE}) {
    SCOPED_TRACE(size);
    std::vector<unsigned char> reply;
    ASSERT_TRUE(AskMountList(L"\\\\.\\VeraCrypt", size, reply));
    EXPECT_EQ(Get32(reply, 0), (1u << 19) | (1u << 4));
    EXPECT_EQ(NameAt(reply, 19), L"\\??\\C:\\Vol\\a.hc");
    EXPECT_EQ(NameAt(reply, 4), L"\\Device\\Harddisk1\\Partition2");
    size_t flags = size == STANDIN_MOUNT_LIST_VERACRYPT_SIZE ? 17320 : 15656;
    EXPECT_EQ(Get32(reply, flags + 19 * 4), 1u);
    EXPECT_EQ(Get32(reply, flags + 4 * 4), 0u);
    // Nothing of the request's pattern is left anywhere.
    size_t nonZero = 0;
    for (unsigned char b : reply) nonZero += b != 0;
    // Two bytes of bit set, one low byte per (ASCII) name character, one flag.
    EXPECT_EQ(nonZero, 2 + NameAt(reply, 19).size() + NameAt(reply, 4).size() + 1);
  }

  std::vector<unsigned char> reply;
  EXPECT_FALSE(AskMountList(L"\\\\.\\VeraCrypt", STANDIN_MOUNT_LIST_TRUECRYPT_SIZE, reply));
  EXPECT_FALSE(AskMountList(L"\\\\.\\VeraCrypt", 17000, reply));
  ASSERT_TRUE(AskMountList(L"\\\\.\\TrueCrypt", STANDIN_MOUNT_LIST_TRUECRYPT_SIZE, reply));
  EXPECT_EQ(Get32(reply, 0), 1u << 25);
  EXPECT_EQ(NameAt(reply, 25), L"\\??\\D:\\t.tc");

  ASSERT_TRUE(ClearStandinMount(StandinDevice::VeraCrypt, 'T'));
  std::vector<StandinMount> mounts;
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::VeraCrypt, mounts));
  ASSERT_EQ(mounts.size(), 1u);
  EXPECT_EQ(mounts[0].Letter, 'E');
  EXPECT_FALSE(SetStandinMount(StandinDevice::VeraCrypt, '1', "x", false));
}

TEST_F(StandinDriver, StopsAndStartsAgainEmpty)
{
  ASSERT_TRUE(SetStandinMount(StandinDevice::VeraCrypt, 'T', "\\??\\C:\\a.hc", false));
  ASSERT_TRUE(StopStandinDriver());
  std::vector<unsigned char> reply;
  EXPECT_FALSE(AskMountList(L"\\\\.\\VeraCrypt", STANDIN_MOUNT_LIST_VERACRYPT_SIZE, reply));
  EXPECT_FALSE(AskMountList(L"\\\\.\\TrueCrypt", STANDIN_MOUNT_LIST_TRUECRYPT_SIZE, reply));
  ASSERT_TRUE(StartStandinDriver());
  std::vector<StandinMount> mounts;
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::VeraCrypt, mounts));
  EXPECT_TRUE(mounts.empty());
}

TEST_F(StandinProgram, MountsLogsAndDismounts)
{
  std::string program = StandinProgramPath(StandinBuild::VeraCrypt121);
  std::string mount = MountLine("\"pa ss\\\"word\"");
  ASSERT_EQ(RunProgram(program, mount), 0u);
  EXPECT_TRUE(RootExists(Letter));
  EXPECT_EQ(GetDriveTypeA((std::string(1, Letter) + ":\\").c_str()), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_FALSE(DiskQueryAnswered(Letter)) << "a volume has no disk behind it";
  EXPECT_TRUE(WriteNoticed(Letter, "inside.txt"));
  EXPECT_EQ(ReadTextFile(Container + ".d\\inside.txt"), "x");

  std::vector<StandinMount> mounts;
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::VeraCrypt, mounts));
  const StandinMount* m = FindMount(mounts, Letter);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Name, "\\??\\" + Container);
  EXPECT_FALSE(m->TrueCryptMode);

  // The same container twice is refused.
  char other = UnusedDriveLetter(static_cast<char>(Letter + 1));
  std::string again = mount;
  again.replace(again.find(" /l ") + 4, 1, std::string(1, other));
  EXPECT_EQ(RunProgram(program, again), 1u);

  std::string dismount = "/q /s /d " + std::string(1, Letter) + " /f";
  ASSERT_EQ(RunProgram(program, dismount), 0u);
  EXPECT_FALSE(RootExists(Letter));
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::VeraCrypt, mounts));
  EXPECT_EQ(FindMount(mounts, Letter), nullptr);
  EXPECT_EQ(RunProgram(program, dismount), 1u) << "nothing left to dismount";

  EXPECT_EQ(ReadTextFile(Log), mount + "\n" + again + "\n" + dismount + "\n" + dismount + "\n");
}

TEST_F(StandinProgram, RefusesWrongPasswordsBadLinesAndOnRequest)
{
  std::string program = StandinProgramPath(StandinBuild::VeraCrypt121);
  EXPECT_EQ(RunProgram(program, MountLine("\"pa ss\"")), 1u);
  EXPECT_EQ(RunProgram(program, MountLine("pa")), 1u);
  EXPECT_EQ(RunProgram(program, MountLine("\"pa ss\\\"word\" /k keyfile")), 2u);
  EXPECT_EQ(RunProgram(program, "/q /s /d " + std::string(1, Letter) + " /v x"), 2u);
  EXPECT_FALSE(RootExists(Letter));

  SetEnvironmentVariableW(L"STANDIN_REFUSE", L"mount");
  EXPECT_EQ(RunProgram(program, MountLine("\"pa ss\\\"word\"")), 1u);
  EXPECT_FALSE(RootExists(Letter));
  SetEnvironmentVariableW(L"STANDIN_REFUSE", L"dismount");
  ASSERT_EQ(RunProgram(program, MountLine("\"pa ss\\\"word\"")), 0u);
  EXPECT_EQ(RunProgram(program, "/q /s /d " + std::string(1, Letter) + " /f"), 1u);
  EXPECT_TRUE(RootExists(Letter));
  SetEnvironmentVariableW(L"STANDIN_REFUSE", nullptr);
  EXPECT_EQ(RunProgram(program, "/q /s /d " + std::string(1, Letter) + " /f"), 0u);
  EXPECT_FALSE(RootExists(Letter));
}

TEST_F(StandinProgram, DelaysBeforeActing)
{
  SetEnvironmentVariableW(L"STANDIN_DELAY_MS", L"400");
  ULONGLONG start = GetTickCount64();
  EXPECT_EQ(RunProgram(StandinProgramPath(StandinBuild::VeraCrypt121), MountLine("\"pa ss\\\"word\"")), 0u);
  EXPECT_GE(GetTickCount64() - start, 400u);
  EXPECT_TRUE(RootExists(Letter));
}

TEST_F(StandinProgram, TrueCryptModeAndRemovableDrives)
{
  ASSERT_EQ(RunProgram(StandinProgramPath(StandinBuild::TrueCrypt71a),
                "/q /s /v \"" + Container + "\" /l " + std::string(1, Letter) + " /m rm /p \"pa ss\\\"word\""),
            0u);
  EXPECT_EQ(GetDriveTypeA((std::string(1, Letter) + ":\\").c_str()), static_cast<UINT>(DRIVE_REMOVABLE));
  EXPECT_TRUE(WriteNoticed(Letter, "usb.txt"));
  std::vector<StandinMount> mounts;
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::TrueCrypt, mounts));
  ASSERT_NE(FindMount(mounts, Letter), nullptr);
  EXPECT_TRUE(FindMount(mounts, Letter)->TrueCryptMode);
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::VeraCrypt, mounts));
  EXPECT_EQ(FindMount(mounts, Letter), nullptr) << "a TrueCrypt mount is not in VeraCrypt's table";
  ASSERT_EQ(RunProgram(StandinProgramPath(StandinBuild::TrueCrypt71a), "/q /s /d " + std::string(1, Letter) + " /f"), 0u);

  ASSERT_EQ(RunProgram(StandinProgramPath(StandinBuild::VeraCrypt116), MountLine("\"pa ss\\\"word\" /tc")), 0u);
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::VeraCrypt, mounts));
  ASSERT_NE(FindMount(mounts, Letter), nullptr);
  EXPECT_TRUE(FindMount(mounts, Letter)->TrueCryptMode);
}

TEST_F(StandinProgram, PartitionVolumesKeepTheirFilesInOneFolder)
{
  SetEnvironmentVariableW(L"STANDIN_PARTITIONS", Utf8ToWide(Folder.Path()).c_str());
  ASSERT_TRUE(WriteFileBytes(Folder / "Harddisk1-Partition2.password", "pw"));
  std::string program = StandinProgramPath(StandinBuild::VeraCrypt121);
  EXPECT_EQ(RunProgram(program, "/q /s /v \\Device\\Harddisk1\\Partition2 /l " + std::string(1, Letter) + " /p pw"), 0u);
  SetEnvironmentVariableW(L"STANDIN_PARTITIONS", nullptr);
  std::vector<StandinMount> mounts;
  ASSERT_TRUE(QueryStandinMounts(StandinDevice::VeraCrypt, mounts));
  ASSERT_NE(FindMount(mounts, Letter), nullptr);
  EXPECT_EQ(FindMount(mounts, Letter)->Name, "\\Device\\Harddisk1\\Partition2");
  ASSERT_TRUE(WriteFileBytes(std::string(1, Letter) + ":\\p.txt", "p"));
  EXPECT_EQ(ReadTextFile(Folder / "Harddisk1-Partition2.d\\p.txt"), "p");
}

TEST(StandinBuilds, CarryTheirFileVersion)
{
  struct {
    StandinBuild Build;
    const char* FileName;
    const wchar_t* Version;
  } builds[] = {{StandinBuild::VeraCrypt121, "VeraCrypt.exe", L"1.21"},
                {StandinBuild::VeraCrypt119, "VeraCrypt.exe", L"1.19"},
                {StandinBuild::VeraCrypt116, "VeraCrypt.exe", L"1.16"},
                {StandinBuild::VeraCrypt115, "VeraCrypt.exe", L"1.15"},
                {StandinBuild::VeraCrypt113, "VeraCrypt.exe", L"1.13"},
                {StandinBuild::TrueCrypt71a, "TrueCrypt.exe", L"7.1a"}};
  for (const auto& b : builds) {
    std::string path = StandinProgramPath(b.Build);
    SCOPED_TRACE(path);
    EXPECT_EQ(path.substr(path.rfind('\\') + 1), b.FileName);
    std::wstring wpath = Utf8ToWide(path);
    DWORD size = GetFileVersionInfoSizeW(wpath.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(wpath.c_str(), 0, size, info.data()));
    wchar_t* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, b.Version);
  }
}
