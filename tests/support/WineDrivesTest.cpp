#include "TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

UINT DriveType(char Letter)
{
  wchar_t root[] = {static_cast<wchar_t>(Letter), L':', L'\\', 0};
  return GetDriveTypeW(root);
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// Names found in the drive's root, "." and ".." left out.
std::vector<std::string> RootEntries(char Letter)
{
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  std::string pattern = std::string(1, Letter) + ":\\*";
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

// Exit code of a command run by cmd.exe in another process.
DWORD RunCmd(const std::string& Command)
{
  std::wstring line = L"cmd.exe /c " + Wide(Command);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return static_cast<DWORD>(-1);
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

}  // namespace

TEST(WineDrives, TypesRootAndUnmap)
{
  ScratchFolder usb("usb"), disk("disk");
  ASSERT_TRUE(WriteTextFile(usb / ".tcvinfo.ini", "[Data]\r\n"));
  char removable = UnusedDriveLetter('M');
  ASSERT_NE(removable, 0);
  {
    TestDrive drive(removable, usb.Path(), WineDriveType::Removable);
    ASSERT_TRUE(drive.Mapped());
    char fixed = UnusedDriveLetter(static_cast<char>(removable + 1));
    ASSERT_NE(fixed, 0);
    TestDrive other(fixed, disk.Path(), WineDriveType::Fixed);
    ASSERT_TRUE(other.Mapped());

    EXPECT_EQ(DriveType(removable), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(DriveType(fixed), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(RootEntries(removable), std::vector<std::string>{".tcvinfo.ini"});
    EXPECT_TRUE(RootEntries(fixed).empty());

    // Written through the drive, found in the folder.
    ASSERT_TRUE(WriteTextFile(other.Root() + "inner.txt", "x"));
    EXPECT_EQ(ReadTextFile(disk / "inner.txt"), "x");
  }
  EXPECT_EQ(DriveType(removable), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  EXPECT_EQ(GetFileAttributesA((std::string(1, removable) + ":\\").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WineDrives, RemapChangesTypeAndFolder)
{
  ScratchFolder first("first"), second("second");
  ASSERT_TRUE(WriteTextFile(second / "b.txt", "b"));
  char letter = UnusedDriveLetter('M');
  ASSERT_NE(letter, 0);
  TestDrive drive(letter, first.Path(), WineDriveType::Fixed);
  ASSERT_TRUE(drive.Mapped());
  ASSERT_TRUE(MapWineDrive(letter, second.Path(), WineDriveType::Removable));
  EXPECT_EQ(DriveType(letter), static_cast<UINT>(DRIVE_REMOVABLE));
  EXPECT_EQ(RootEntries(letter), std::vector<std::string>{"b.txt"});
}

TEST(WineDrives, UnixFolderAndOtherProcesses)
{
  ScratchFolder folder("unix");
  ASSERT_TRUE(WriteTextFile(folder / "seen.txt", "1"));
  std::string unixPath = WineUnixPath(folder.Path());
  ASSERT_FALSE(unixPath.empty());
  EXPECT_EQ(unixPath[0], '/');

  char letter = UnusedDriveLetter('M');
  ASSERT_NE(letter, 0);
  TestDrive drive(letter, unixPath, WineDriveType::Removable);
  ASSERT_TRUE(drive.Mapped());
  // Another process of the session sees the drive and its files.
  std::string root = drive.Root();
  EXPECT_EQ(RunCmd("if exist " + root + "seen.txt exit 7"), 7u);
}

// Whether the drive's device answers the volume disk-extents query.
bool DiskQueryAnswered(char Letter)
{
  std::string device = std::string("\\\\.\\") + Letter + ":";
  HANDLE h = CreateFileA(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  unsigned char extents[32];
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(h, 0x560000, nullptr, 0, extents, sizeof(extents), &returned, nullptr);
  CloseHandle(h);
  return ok != FALSE;
}

TEST(WineDrives, BareLinksHaveNoDevice)
{
  ScratchFolder folder("link");
  ASSERT_TRUE(WriteTextFile(folder / "in.txt", "1"));
  char linked = UnusedDriveLetter('M');
  ASSERT_NE(linked, 0);
  ASSERT_TRUE(LinkWineDrive(linked, folder.Path()));
  EXPECT_EQ(DriveType(linked), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(RootEntries(linked), std::vector<std::string>{"in.txt"});
  EXPECT_FALSE(DiskQueryAnswered(linked));

  char mapped = UnusedDriveLetter(static_cast<char>(linked + 1));
  ASSERT_NE(mapped, 0);
  {
    TestDrive drive(mapped, folder.Path());
    ASSERT_TRUE(drive.Mapped());
    EXPECT_TRUE(DiskQueryAnswered(mapped)) << "the mount manager's drives answer with a disk";
  }
  EXPECT_TRUE(UnmapWineDrive(linked));
  EXPECT_EQ(DriveType(linked), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST(WineDrives, ScratchFoldersAreNewAndRemoved)
{
  std::string kept;
  {
    ScratchFolder a("same"), b("same");
    EXPECT_NE(a.Path(), b.Path());
    ASSERT_TRUE(WriteTextFile(a / "f.txt", "data"));
    ASSERT_TRUE(CreateDirectoryA((a / "sub").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(a / "sub\\g.txt", "more"));
    kept = a.Path();
  }
  EXPECT_EQ(GetFileAttributesA(kept.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WineDrives, BadLettersAreRefused)
{
  ScratchFolder folder;
  EXPECT_FALSE(MapWineDrive('1', folder.Path(), WineDriveType::Fixed));
  EXPECT_FALSE(MapWineDrive('M', "", WineDriveType::Fixed));
}
