#pragma once
// Existence tests, folder creation, attributes, whole files, copy and
// delete. Failures are returned; the caller decides what the user sees
// (the system's error code is left for GetLastError).
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "Scoped.h"

// An empty path is never found.
bool FileExistsEx(const std::string& Path);
bool DirExistsEx(const std::string& Path);
// Creates the folder and its missing parents; true when it exists after.
bool ForceDirsEx(const std::string& Path);
// INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetFileAttr(const std::string& Path);
// 0, or the system error code.
DWORD SetFileAttr(const std::string& Path, DWORD Attributes);

// The whole file, which others may hold open for reading and writing;
// false (and Bytes empty) when it cannot be opened or read, or holds more
// than MaxBytes (then nothing is read).
bool ReadFileBytes(const std::string& Path, std::string& Bytes, uint64_t MaxBytes = MAXDWORD);
// Replaces the file with exactly Bytes, creating it when missing. Its
// folder is not created: callers that need one call ForceDirsEx first.
bool WriteFileBytes(const std::string& Path, std::string_view Bytes);

enum class TWriteOutcome { Failed, Swapped, InPlace };
// WriteFileBytes that a crash or power cut cannot tear: Bytes go to a
// temporary file beside Path ("<Path>.new"), flushed, then moved over Path
// with write-through (Swapped). When the move fails, as when an editor holds
// Path open, Path is written in place (InPlace) and may then tear; when that
// fails too, Path is left as it was (Failed). No temporary file stays.
TWriteOutcome WriteFileSafely(const std::string& Path, std::string_view Bytes);
// Overwrites an existing file in place with zeros for its whole length and
// flushes them, so its old content does not stay in free disk space once it
// is replaced.
bool OverwriteFileInPlace(const std::string& Path);

// Opens a device ("\\.\X:", a driver's "\\.\Name") for queries only: never
// created, and others may hold it open.
TFileHandle OpenDevice(const std::wstring& DevicePath);

// Copies over an existing destination.
bool FileCopy(const std::string& Source, const std::string& Dest);
bool FileDelete(const std::string& Path);
