// Existence tests, folder creation, whole files, copy, delete.
#include "Files.h"

#include <algorithm>

#include "PathNames.h"
#include "Scoped.h"
#include "Text.h"

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

}  // namespace

DWORD GetFileAttr(const std::string& Path) { return GetFileAttributesW(Utf8ToWide(Path).c_str()); }

DWORD SetFileAttr(const std::string& Path, DWORD Attributes) {
  return SetFileAttributesW(Utf8ToWide(Path).c_str(), Attributes) ? 0 : GetLastError();
}

bool FileExistsEx(const std::string& Path) {
  DWORD Attr = Path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttr(Path);
  return Attr != INVALID_FILE_ATTRIBUTES && !(Attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExistsEx(const std::string& Path) { return IsDir(Path); }

bool ForceDirsEx(const std::string& Path) {
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

bool ReadFileBytes(const std::string& Path, std::string& Bytes, uint64_t MaxBytes) {
  Bytes.clear();
  TFileHandle File(CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER Size;
  if (!File || !GetFileSizeEx(File.get(), &Size) || uint64_t(Size.QuadPart) > std::min<uint64_t>(MaxBytes, MAXDWORD))
    return false;
  // One read into a buffer of the final size: no stray copies of a secret.
  Bytes.resize(static_cast<std::size_t>(Size.QuadPart));
  DWORD Done = 0;
  if (!Bytes.empty() && !ReadFile(File.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Done, nullptr)) {
    WipeString(Bytes);
    return false;
  }
  Bytes.resize(Done);
  return true;
}

namespace {

bool WriteWhole(const std::string& Path, std::string_view Bytes, DWORD Share) {
  TFileHandle File(CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, Share, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!File) return false;
  if (Bytes.empty()) return true;
  DWORD Done = 0;
  return WriteFile(File.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Done, nullptr) && Done == Bytes.size();
}

}  // namespace

bool WriteFileBytes(const std::string& Path, std::string_view Bytes) { return WriteWhole(Path, Bytes, 0); }

namespace {

bool WriteAndFlush(HANDLE File, std::string_view Bytes) {
  DWORD Done = 0;
  return (Bytes.empty() ||
          (WriteFile(File, Bytes.data(), static_cast<DWORD>(Bytes.size()), &Done, nullptr) && Done == Bytes.size())) &&
         FlushFileBuffers(File);
}

}  // namespace

TWriteOutcome WriteFileSafely(const std::string& Path, std::string_view Bytes) {
  const std::wstring Target = Utf8ToWide(Path), Temporary = Utf8ToWide(Path + ".new");
  bool Written;
  {
    TFileHandle File(CreateFileW(Temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!File) return TWriteOutcome::Failed;
    Written = WriteAndFlush(File.get(), Bytes);
  }
  if (Written && MoveFileExW(Temporary.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return TWriteOutcome::Swapped;
  DeleteFileW(Temporary.c_str());
  if (!Written) return TWriteOutcome::Failed;
  // Shared, so that a file an editor holds open for writing too is written.
  return WriteWhole(Path, Bytes, FILE_SHARE_READ | FILE_SHARE_WRITE) ? TWriteOutcome::InPlace : TWriteOutcome::Failed;
}

bool OverwriteFileInPlace(const std::string& Path) {
  TFileHandle File(CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER Size;
  if (!File || !GetFileSizeEx(File.get(), &Size) || uint64_t(Size.QuadPart) > MAXDWORD) return false;
  return WriteAndFlush(File.get(), std::string(static_cast<std::size_t>(Size.QuadPart), '\0'));
}

bool FileCopy(const std::string& Source, const std::string& Dest) {
  return CopyFileW(Utf8ToWide(Source).c_str(), Utf8ToWide(Dest).c_str(), FALSE) != 0;
}

bool FileDelete(const std::string& Path) { return DeleteFileW(Utf8ToWide(Path).c_str()) != 0; }

TFileHandle OpenDevice(const std::wstring& DevicePath) {
  return TFileHandle(
      CreateFileW(DevicePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}
