// Starting programs and the shell's "open".
#include "Process.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "CommandLine.h"
#include "PathNames.h"
#include "Scoped.h"
#include "Text.h"

namespace {}  // namespace

TKernelHandle StartProcess(const std::string& Program, std::string_view Params) {
  if (!IsFullPath(Program)) {
    SetLastError(ERROR_BAD_PATHNAME);
    return {};
  }
  STARTUPINFOW Startup = {};
  Startup.cb = sizeof(Startup);
  Startup.wShowWindow = SW_SHOWNORMAL;
  const std::wstring Path = Utf8ToWide(Program), Folder = Utf8ToWide(ExtractDir(Program));
  // Still quoted: the program parses its own path from the command line.
  const std::wstring Head = Utf8ToWide(QuotedArgument(Program) + ' ');
  const int ParamsLength =
      Params.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, Params.data(), int(Params.size()), nullptr, 0);
  std::vector<wchar_t> CommandLine(Head.size() + std::size_t(ParamsLength) + 1, L'\0');
  std::copy(Head.begin(), Head.end(), CommandLine.begin());
  if (ParamsLength > 0)
    MultiByteToWideChar(CP_UTF8, 0, Params.data(), int(Params.size()), CommandLine.data() + Head.size(), ParamsLength);
  PROCESS_INFORMATION Info = {};
  const bool Created = CreateProcessW(Path.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                                      nullptr, Folder.c_str(), &Startup, &Info);
  const DWORD Error = GetLastError();
  WipeBytes(CommandLine.data(), CommandLine.size() * sizeof(wchar_t));
  SetLastError(Error);
  if (!Created) return {};
  const TKernelHandle Thread(Info.hThread);
  return TKernelHandle(Info.hProcess);
}

int RunProcess(const std::string& Program, const std::string& Params, bool Wait) {
  const TKernelHandle Process = StartProcess(Program, Params);
  if (!Process) return -1;
  int Result = 0;
  if (Wait && WaitForSingleObject(Process.get(), INFINITE) != WAIT_FAILED) {
    DWORD Code = 0;
    GetExitCodeProcess(Process.get(), &Code);
    Result = static_cast<int>(Code);
  }
  return Result;
}

bool ShellOpen(const std::string& Target, const std::string& Params, const std::string& WorkDir) {
  std::string Folder = WorkDir.empty() ? ExtractDir(Target) : WorkDir;
  HINSTANCE Result = ShellExecuteW(nullptr, L"open", Utf8ToWide(Target).c_str(), Utf8ToWide(Params).c_str(),
                                   Utf8ToWide(Folder).c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(Result) > 32;
}
