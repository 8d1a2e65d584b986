// Existence tests, folder creation, whole files, copy, delete.
#include "Files.h"

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

bool ReadFileBytes(const std::string& Path, std::string& Bytes) {
  Bytes.clear();
  TFileHandle File(CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER Size;
  if (!File || !GetFileSizeEx(File.get(), &Size) || Size.QuadPart > MAXDWORD) return false;
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

bool WriteFileBytes(const std::string& Path, std::string_view Bytes) {
  TFileHandle File(CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!File) return false;
  if (Bytes.empty()) return true;
  DWORD Done = 0;
  return WriteFile(File.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Done, nullptr) && Done == Bytes.size();
}

bool FileCopy(const std::string& Source, const std::string& Dest) {
  return CopyFileW(Utf8ToWide(Source).c_str(), Utf8ToWide(Dest).c_str(), FALSE) != 0;
}

bool FileDelete(const std::string& Path) { return DeleteFileW(Utf8ToWide(Path).c_str()) != 0; }
