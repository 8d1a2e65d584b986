#include "Log.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "Files.h"
#include "PathNames.h"
#include "Scoped.h"
#include "Text.h"

namespace {

// Kept wide and ready: the crash handlers use them as they are.
std::wstring LogPath;
std::wstring PreviousLogPath;
LPTOP_LEVEL_EXCEPTION_FILTER PreviousFilter = nullptr;
std::terminate_handler PreviousTerminate = nullptr;

bool WriteAll(HANDLE File, std::string_view Bytes) {
  DWORD Written = 0;
  return WriteFile(File, Bytes.data(), DWORD(Bytes.size()), &Written, nullptr) && Written == Bytes.size();
}

// Allocates nothing, so that a crash with a broken heap still gets its line.
void AppendLine(std::string_view Text) {
  if (LogPath.empty()) return;
  SYSTEMTIME Now;
  GetLocalTime(&Now);
  char Stamp[32];
  const int StampLength = std::snprintf(Stamp, sizeof Stamp, "%04u-%02u-%02u %02u:%02u:%02u ", Now.wYear, Now.wMonth,
                                        Now.wDay, Now.wHour, Now.wMinute, Now.wSecond);
  const DWORD Share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  auto Open = [Share] {
    return TFileHandle(
        CreateFileW(LogPath.c_str(), FILE_APPEND_DATA, Share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  TFileHandle File = Open();
  LARGE_INTEGER Size{};
  if (File && GetFileSizeEx(File.get(), &Size) && Size.QuadPart > 0 &&
      uint64_t(Size.QuadPart) + uint64_t(StampLength) + Text.size() + 2 > LogMaxBytes) {
    File.reset();
    MoveFileExW(LogPath.c_str(), PreviousLogPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    File = Open();
  }
  if (!File) return;
  if (WriteAll(File.get(), std::string_view(Stamp, StampLength > 0 ? StampLength : 0)) && WriteAll(File.get(), Text))
    WriteAll(File.get(), "\r\n");
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* Exception) {
  // The runtime's own filter goes first: it lets C++ throws unwind to
  // std::terminate, which has its own line.
  if (PreviousFilter) {
    const LONG Previous = PreviousFilter(Exception);
    if (Previous == EXCEPTION_CONTINUE_EXECUTION) return Previous;
  }
  char Line[96];
  const int Length =
      std::snprintf(Line, sizeof Line, "Unhandled exception 0x%08lX at 0x%016llX, the program ends",
                    static_cast<unsigned long>(Exception->ExceptionRecord->ExceptionCode),
                    static_cast<unsigned long long>(uintptr_t(Exception->ExceptionRecord->ExceptionAddress)));
  AppendLine(std::string_view(Line, Length > 0 ? Length : 0));
  return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void OnTerminate() {
  std::string Line = "Unhandled C++ exception";
  try {
    if (const std::exception_ptr Current = std::current_exception()) std::rethrow_exception(Current);
  } catch (const std::exception& Error) {
    Line += std::string(": ") + Error.what();
  } catch (...) {
  }
  AppendLine(Line + ", the program ends");
  // The runtime's own handler ends the program as it always does.
  if (PreviousTerminate) PreviousTerminate();
  std::abort();
}

}  // namespace

void StartLog(const std::string& Path) {
  ForceDirsEx(ExtractDir(Path));
  const bool First = LogPath.empty();
  LogPath = Utf8ToWide(Path);
  PreviousLogPath = Utf8ToWide(Path + ".1");
  // Installed once: the previous ones would be our own.
  if (!First) return;
  PreviousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
  PreviousTerminate = std::set_terminate(OnTerminate);
}

std::string LogFileName() { return WideToUtf8(LogPath); }

void WriteLog(std::string_view Text) { AppendLine(Text); }
