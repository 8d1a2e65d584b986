#include "Volume.h"

#include <windows.h>

#include "Text.h"

std::string VolumeFileKey(const std::string& File) {
  // Sort keys ignoring case are equal exactly when CompareString finds the
  // texts equal ignoring case.
  const std::wstring Wide = Utf8ToWide(File);
  constexpr DWORD Flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int Size = LCMapStringW(LOCALE_USER_DEFAULT, Flags, Wide.c_str(), int(Wide.size()), nullptr, 0);
  std::string Key(std::size_t(Size > 0 ? Size : 0), '\0');
  if (Size > 0)
    LCMapStringW(LOCALE_USER_DEFAULT, Flags, Wide.c_str(), int(Wide.size()), reinterpret_cast<LPWSTR>(Key.data()),
                 Size);
  return Key;
}

bool SameVolume(const TVolumeIdentity& A, const TVolumeIdentity& B) {
  if (A.File.empty() != B.File.empty()) return false;
  if (A.File.empty()) return A.Disk == B.Disk && A.Partition == B.Partition;
  return VolumeFileKey(A.File) == VolumeFileKey(B.File);
}

TVolume* FindVolume(const TVolumeIdentity& Identity, std::vector<TVolume>& List) {
  for (TVolume& V : List)
    if (SameVolume(V.Identity(), Identity)) return &V;
  return nullptr;
}
