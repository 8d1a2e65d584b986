#pragma once
// Starting programs and handing documents or addresses to the shell.
#include <string>

#include "StrUtils.h"

// Starts Program with Params; WorkDir empty means the program's folder.
// -1 when the process cannot be created; otherwise 0, or with Wait the
// process's exit code.
int RunProcess(const std::string& Program, const std::string& Params, bool Wait = false,
               const std::string& WorkDir = "");
// The shell's "open" of a file, folder or address; true when accepted.
bool ShellOpen(const std::string& Target, const std::string& Params = "", const std::string& WorkDir = "");
