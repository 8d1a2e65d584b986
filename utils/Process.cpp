// Starting programs and the shell's "open".
#include "Process.h"

#include <windows.h>

#include <shellapi.h>

#include "PathNames.h"
#include "Scoped.h"
#include "Text.h"

namespace {

// A path given already in quotes, without them (for its folder).
std::string Unquoted(const std::string& S) {
  std::string R = S;
  if (!R.empty() && R.front() == '"') R.erase(R.begin());
  if (!R.empty() && R.back() == '"') R.pop_back();
  return R;
}

// Names one file whatever the current folder and search path; "C:x" (the
// drive's current folder) and "\x" (the current drive) do not.
bool IsFullPath(const std::string& Path) {
  const bool DriveRoot = Path.size() >= 3 && Path[1] == ':' && IsPathSeparator(Path[2]);
  const bool Share = Path.size() >= 3 && IsPathSeparator(Path[0]) && IsPathSeparator(Path[1]);
  return DriveRoot || Share;
}

}  // namespace

int RunProcess(const std::string& Program, const std::string& Params, bool Wait) {
  if (!IsFullPath(Program)) return -1;
  STARTUPINFOW Startup = {};
  Startup.cb = sizeof(Startup);
  Startup.wShowWindow = SW_SHOWNORMAL;
  const std::wstring Path = Utf8ToWide(Program), Folder = Utf8ToWide(ExtractDir(Program));
  // Still quoted: the program parses its own path from the command line.
  std::string Line = MakeCommandLine(Program, Params);
  std::wstring CommandLine = Utf8ToWide(Line);
  PROCESS_INFORMATION Info = {};
  const bool Created = CreateProcessW(Path.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                                      nullptr, Folder.c_str(), &Startup, &Info);
  // The parameters may hold a password: leave no copy of them behind.
  WipeString(Line);
  WipeString(CommandLine);
  if (!Created) return -1;
  const TKernelHandle Process(Info.hProcess), Thread(Info.hThread);
  int Result = 0;
  if (Wait && WaitForSingleObject(Process.get(), INFINITE) != WAIT_FAILED) {
    DWORD Code = 0;
    GetExitCodeProcess(Process.get(), &Code);
    Result = static_cast<int>(Code);
  }
  return Result;
}

bool ShellOpen(const std::string& Target, const std::string& Params, const std::string& WorkDir) {
  std::string Folder = WorkDir.empty() ? ExtractDir(Unquoted(Target)) : WorkDir;
  HINSTANCE Result = ShellExecuteW(nullptr, L"open", Utf8ToWide(QuoteIfSpaced(Target)).c_str(),
                                   Utf8ToWide(Params).c_str(), Utf8ToWide(Folder).c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(Result) > 32;
}
