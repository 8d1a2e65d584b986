// Existence tests, folder creation, file handles, whole files, copy, delete.
#include "Files.h"

#include "UtilsStrings.h"

namespace {

bool AttrIsDir(DWORD Attr) { return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY); }

bool IsDir(const std::string& Path) { return !Path.empty() && AttrIsDir(GetFileAttr(Path)); }

bool ForceDirsStep(const std::string& Folder) {
  std::string F = Folder;
  if (!F.empty() && IsPathSeparator(F.back())) F.pop_back();
  if (F.empty() || IsDir(F)) return true;
  std::size_t p = F.find_last_of("\\:");
  std::string Parent = p == std::string::npos ? std::string() : F.substr(0, p + 1);
  if (Parent == F) return false;
  return ForceDirsStep(Parent) && CreateDirectoryW(Utf8ToWide(F).c_str(), nullptr);
}

bool ForceDirs(const std::string& Path) {
  try {
    std::string Drive = ExtractDrive(Path);
    bool NetworkPrefix = Drive.size() > 2 && Drive[0] == '\\' && Drive[1] == '\\';
    if (!Drive.empty() && !IsDir(Drive) && !NetworkPrefix) return false;
    if (Path.empty()) return false;
    std::string F = Path;
    for (char& C : F)
      if (C == '/') C = '\\';
    return ForceDirsStep(F);
  } catch (...) {
    return false;
  }
}

// CreateFileW sharing for the sharing part of an open mode; false when the
// mode's sharing value is not one of the five valid ones.
bool ShareFromMode(uint32_t Mode, DWORD& Share) {
  static const DWORD Shares[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
  uint32_t Index = (Mode & 0xF0) >> 4;
  if (Index > 4) return false;
  Share = Shares[Index];
  return true;
}

bool AccessFromMode(uint32_t Mode, DWORD& Access) {
  static const DWORD Accesses[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  uint32_t Index = Mode & 0x3;
  if (Index > 2) return false;
  Access = Accesses[Index];
  return true;
}

HANDLE Failed(bool ShowMsg) {
  if (ShowMsg) ShowLastError();
  return INVALID_HANDLE_VALUE;
}

}  // namespace

DWORD GetFileAttr(const std::string& Path) { return GetFileAttributesW(Utf8ToWide(Path).c_str()); }

DWORD SetFileAttr(const std::string& Path, DWORD Attributes) {
  return SetFileAttributesW(Utf8ToWide(Path).c_str(), Attributes) ? 0 : GetLastError();
}

bool FileExistsEx(const std::string& Path, bool ShowMsg) {
  DWORD Attr = Path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttr(Path);
  bool Found = Attr != INVALID_FILE_ATTRIBUTES && !(Attr & FILE_ATTRIBUTE_DIRECTORY);
  if (!Found && ShowMsg) ShowError(FormatUtilsString(SFileNotExists, Path));
  return Found;
}

bool DirExistsEx(const std::string& Path, bool ShowMsg) {
  bool Found = IsDir(Path);
  if (!Found && ShowMsg) ShowError(FormatUtilsString(SFileNotExists, Path));
  return Found;
}

bool ForceDirsEx(const std::string& Path, bool ShowMsg) {
  bool Done = ForceDirs(Path);
  if (!Done && ShowMsg) ShowError(FormatUtilsString(SErrCreateDir, Path));
  return Done;
}

HANDLE FileCreateEx(const std::string& Path, bool ShowMsg, uint32_t Mode) {
  if (!ForceDirsEx(ExtractDir(Path), ShowMsg)) return INVALID_HANDLE_VALUE;
  DWORD Share = 0;
  if (!ShareFromMode(Mode, Share)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return Failed(ShowMsg);
  }
  HANDLE H = CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_READ | GENERIC_WRITE, Share, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return H == INVALID_HANDLE_VALUE ? Failed(ShowMsg) : H;
}

HANDLE FileOpenEx(const std::string& Path, uint32_t Mode, bool ShowMsg) {
  if ((Mode & 0xFF00) && !FileExistsEx(Path)) {
    HANDLE Created = FileCreateEx(Path, ShowMsg, fmShareExclusive);
    if (Created == INVALID_HANDLE_VALUE) return Created;
    CloseHandle(Created);
  }
  DWORD Access = 0, Share = 0;
  if (!AccessFromMode(Mode, Access) || !ShareFromMode(Mode, Share)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return Failed(ShowMsg);
  }
  HANDLE H = CreateFileW(Utf8ToWide(Path).c_str(), Access, Share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  return H == INVALID_HANDLE_VALUE ? Failed(ShowMsg) : H;
}

int FileReadBuf(HANDLE Handle, void* Buffer, int Count) {
  DWORD Done = 0;
  if (Count < 0 || !ReadFile(Handle, Buffer, static_cast<DWORD>(Count), &Done, nullptr)) return -1;
  return static_cast<int>(Done);
}

int FileWriteBuf(HANDLE Handle, const void* Buffer, int Count) {
  DWORD Done = 0;
  if (Count < 0 || !WriteFile(Handle, Buffer, static_cast<DWORD>(Count), &Done, nullptr)) return -1;
  return static_cast<int>(Done);
}

bool FileCloseHandle(HANDLE Handle) { return CloseHandle(Handle) != 0; }

bool WriteTextFile(const std::string& Text, const std::string& Path, bool ShowMsg) {
  HANDLE H = CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (H == INVALID_HANDLE_VALUE) return false;
  bool Written = true;
  if (!Text.empty()) {
    DWORD Done = 0;
    Written = WriteFile(H, Text.data(), static_cast<DWORD>(Text.size()), &Done, nullptr) && Done == Text.size();
  }
  CloseHandle(H);
  if (!Written && ShowMsg) ShowError(FormatUtilsString(SErrFileWrite, Path));
  return Written;
}

bool FileCopy(const std::string& Source, const std::string& Dest) {
  return CopyFileW(Utf8ToWide(Source).c_str(), Utf8ToWide(Dest).c_str(), FALSE) != 0;
}

bool FileDelete(const std::string& Path) { return DeleteFileW(Utf8ToWide(Path).c_str()) != 0; }

bool FileDeleteEx(const std::string& Path, bool ShowMsg, bool Confirm) {
  if (Confirm && !ConfirmBox(FormatUtilsString(SDeleteItem, Path), false)) return false;
  bool Deleted = FileDelete(Path);
  if (!Deleted && ShowMsg) ShowError(FormatUtilsString(SErrDeleteFile, Path));
  return Deleted;
}
