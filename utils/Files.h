#pragma once
// Files and paths: text conversion at the wide Windows API, the program's
// folders, existence tests, folder creation, file handles, whole files, copy
// and delete, file times, and the "Error" and confirmation message boxes.
// Routines taking ShowMsg report a failure in one modal box before returning.
#include <windows.h>

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>

#include "DateTimes.h"
#include "PathNames.h"

// --- Text ---------------------------------------------------------------
std::wstring Utf8ToWide(const std::string& S);
std::string WideToUtf8(const std::wstring& S);
std::string WideToUtf8(const wchar_t* S);  // NUL-terminated; null gives ""
// CompareTextIgnoreCase(A, B) == 0.
bool SameTextUtf8(const std::string& A, const std::string& B);

// --- Message boxes -------------------------------------------------------
// Modal box without owner, caption "Error", OK button and error icon.
void ShowError(const std::string& Text);
// The system's text for an error code, without the final line break.
std::string SystemErrorText(DWORD Code);
// The system's text for the calling thread's last error code.
std::string LastErrorText();
void ShowLastError();
// Question box captioned AppTitle: Yes/No when YesNo, else OK/Cancel; true
// for Yes or OK.
bool ConfirmBox(const std::string& Text, bool YesNo = false);

// --- Folders and command line -------------------------------------------
// The shell's folder for a CSIDL value (no trailing backslash added).
std::string GetSpecialFolder(int Csidl);
// With trailing backslash.
std::string GetAppDataFolder();
// Without trailing backslash.
std::string GetProgramFilesFolder();
// Argument Index of the command line; 0 is the running executable's path.
std::string GetParamStr(int Index);
// Folder of the running executable with trailing backslash (cached).
std::string GetProgramFolder();
// Full absolute path; relative ones are resolved against the current folder.
std::string ExpandPath(const std::string& Path);
bool SetCurrentDir(const std::string& Path);

// --- Tests and attributes (an empty path is never found) -----------------
bool FileExistsEx(const std::string& Path, bool ShowMsg = false);
bool DirExistsEx(const std::string& Path, bool ShowMsg = false);
// Creates the folder and its missing parents; true when it exists after.
bool ForceDirsEx(const std::string& Path, bool ShowMsg = false);
// INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetFileAttr(const std::string& Path);
// 0, or the system error code.
DWORD SetFileAttr(const std::string& Path, DWORD Attributes);

// --- File times ----------------------------------------------------------
// Packed local DOS date-time of the last write; -1 for none or a folder.
int32_t GetFileAge(const std::string& Path);
// Sets the last-write time; 0 or the system error code (-1, no time, is
// refused with ERROR_INVALID_PARAMETER).
DWORD SetFileAge(const std::string& Path, int32_t Age);
// Floating date-time of GetFileAge; 0 when the file does not exist.
double GetFileDateTime(const std::string& Path);
DWORD SetFileDateTime(const std::string& Path, double Stamp);

// --- Handles and whole files ----------------------------------------------
// Open modes: one access value, one sharing value, and fmCreate to make a
// missing file first (FileOpenEx).
inline constexpr uint32_t fmOpenRead = 0x0000;
inline constexpr uint32_t fmOpenWrite = 0x0001;
inline constexpr uint32_t fmOpenReadWrite = 0x0002;
inline constexpr uint32_t fmShareCompat = 0x0000;
inline constexpr uint32_t fmShareExclusive = 0x0010;
inline constexpr uint32_t fmShareDenyWrite = 0x0020;
inline constexpr uint32_t fmShareDenyRead = 0x0030;
inline constexpr uint32_t fmShareDenyNone = 0x0040;
inline constexpr uint32_t fmCreate = 0xFF00;

// Creates (or empties) the file for reading and writing, making its folder
// first; INVALID_HANDLE_VALUE on failure.
HANDLE FileCreateEx(const std::string& Path, bool ShowMsg = false, uint32_t Mode = fmShareExclusive);
// Opens an existing file (creating it first when Mode has fmCreate);
// INVALID_HANDLE_VALUE on failure.
HANDLE FileOpenEx(const std::string& Path, uint32_t Mode, bool ShowMsg = false);
// Bytes read or written, or -1.
int FileReadBuf(HANDLE Handle, void* Buffer, int Count);
int FileWriteBuf(HANDLE Handle, const void* Buffer, int Count);
bool FileCloseHandle(HANDLE Handle);
// Replaces the file with exactly the bytes of Text.
bool WriteTextFile(const std::string& Text, const std::string& Path, bool ShowMsg = false);

// Copies over an existing destination.
bool FileCopy(const std::string& Source, const std::string& Dest);
bool FileDelete(const std::string& Path);
// Deletes a file, asking first when Confirm is set.
bool FileDeleteEx(const std::string& Path, bool ShowMsg = false, bool Confirm = false);
