#pragma once
// Starting programs and handing documents or addresses to the shell.
#include <string>

#include "StrUtils.h"

// Starts Program with Params, in the program's own folder. Program is a full
// path ("C:\..." or "\\server\share\..."): a bare or relative name would be
// looked up in the current folder and along the search path. -1 when it is
// not one or the process cannot be created; otherwise 0, or with Wait the
// process's exit code.
int RunProcess(const std::string& Program, const std::string& Params, bool Wait = false);
// The shell's "open" of a file, folder or address; true when accepted.
bool ShellOpen(const std::string& Target, const std::string& Params = "", const std::string& WorkDir = "");
