#pragma once
// Starting programs and handing documents or addresses to the shell.
#include <string>
#include <string_view>

#include "Scoped.h"

// Starts Program with Params, in the program's own folder, and gives its
// process handle; empty when Program is not a full path ("C:\..." or
// "\\server\share\...": a bare or relative name would be looked up in the
// current folder and along the search path) or the process cannot be created
// (GetLastError tells why). Params may hold a password: the command line is
// built in one wide buffer that is wiped after the start.
TKernelHandle StartProcess(const std::string& Program, std::string_view Params);

// StartProcess for parameters without a secret: -1 when it cannot start;
// otherwise 0, or with Wait the process's exit code.
int RunProcess(const std::string& Program, const std::string& Params, bool Wait = false);
// The shell's "open" of a file, folder or address; true when accepted.
bool ShellOpen(const std::string& Target, const std::string& Params = "", const std::string& WorkDir = "");
