// The per-user "Run" value that starts the program when the user logs on.
#pragma once

#include <string>

// The value named Title under HKCU\Software\Microsoft\Windows\CurrentVersion\Run
// names this program's file (paths compared without regard to case). A value
// naming another path, say an older copy, does not count.
bool StartsWithWindows(const std::string& Title);
// Why this program's file may not start with Windows, empty when it may: it
// must lie on a fixed local drive, or whatever file sits at that path on
// the next stick or share would start at logon.
std::string StartWithWindowsRefusal();
// On: writes the quoted full path of this program's file under Title,
// replacing what was there, unless StartWithWindowsRefusal says why not.
// Off: deletes the value. False on failure, with
// the error as the thread's last error.
bool SetStartWithWindows(const std::string& Title, bool On);
