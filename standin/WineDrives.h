// Maps drive letters to folders at run time through Wine's mount manager.
//
// Wine keeps its drives in the prefix's dosdevices links and reads their types
// from HKLM\Software\Wine\Drives only when a session starts; a process of a
// running session changes them through the mount manager's define-unix-drive
// request instead. DefineDosDeviceW gives no usable drive under Wine.
// Under Wine 8 a letter mapped with WineDriveType::Removable reports
// DRIVE_REMOVABLE from GetDriveTypeW, one mapped Fixed reports DRIVE_FIXED,
// and the drive's root is the folder itself at once (FindFirstFile works).
// Folder must exist (Wine cannot name the Unix path of a missing one).
// The dosdevices link the mount manager writes outlives the process and the
// session: whoever maps a letter must unmap it.
#pragma once

#include <string>

enum class WineDriveType { Fixed, Removable };

// Maps Letter ('A'..'Z', either case) to Folder, a Windows path ("C:\...",
// "Z:\...") or a Unix path ("/tmp/..."), replacing any drive on that letter.
bool MapWineDrive(char Letter, const std::string& Folder, WineDriveType Type);

// Removes the drive on Letter, however it was made; true also when there
// was none.
bool UnmapWineDrive(char Letter);

// Maps Letter to Folder by a bare dosdevices link, unknown to the mount
// manager. Such a drive is fixed, its files work, but its device ("\\.\X:")
// cannot be opened, so disk and partition queries fail on it, as they do on
// a volume of the encryption driver; a drive of the mount manager answers
// the disk-extents query with disk 0. The link is made by /bin/ln, a Unix
// process Wine cannot wait for: this returns once the root can be seen.
bool LinkWineDrive(char Letter, const std::string& Folder);

// The Unix path of a Windows path, empty when Wine cannot tell it.
std::string WineUnixPath(const std::string& WindowsPath);
// The Windows path of a Unix path, empty when Wine cannot tell it.
std::string WineDosPath(const std::string& UnixPath);
