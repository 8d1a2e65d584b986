#include "DataProtection.h"

#include <windows.h>
#include <dpapi.h>

#include "StrUtils.h"
#include "SystemLibrary.h"

namespace {

// crypt32.dll is not a known DLL, so it is not imported.
struct TCrypt32 {
  TSystemLibrary Library{L"crypt32.dll"};
  decltype(CryptProtectData)* Protect = Library.Find<decltype(CryptProtectData)>("CryptProtectData");
  decltype(CryptUnprotectData)* Unprotect = Library.Find<decltype(CryptUnprotectData)>("CryptUnprotectData");
};

const TCrypt32& Crypt32() {
  static const TCrypt32 Library;
  return Library;
}

DATA_BLOB BlobOf(std::string_view Bytes) {
  return {static_cast<DWORD>(Bytes.size()), reinterpret_cast<BYTE*>(const_cast<char*>(Bytes.data()))};
}

// The API's output block, wiped and released with LocalFree.
struct TOutput {
  DATA_BLOB Blob{};
  ~TOutput() {
    if (!Blob.pbData) return;
    WipeBytes(Blob.pbData, Blob.cbData);
    LocalFree(Blob.pbData);
  }
  std::string_view View() const { return {reinterpret_cast<const char*>(Blob.pbData), Blob.cbData}; }
};

}  // namespace

std::optional<std::string> ProtectForUser(std::string_view Plain, std::string_view Entropy) {
  if (!Crypt32().Protect) return std::nullopt;
  DATA_BLOB In = BlobOf(Plain), Salt = BlobOf(Entropy);
  TOutput Out;
  if (!Crypt32().Protect(&In, nullptr, &Salt, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &Out.Blob))
    return std::nullopt;
  return std::string(Out.View());
}

std::optional<SecretText> UnprotectForUser(std::string_view Blob, std::string_view Entropy) {
  if (!Crypt32().Unprotect) return std::nullopt;
  DATA_BLOB In = BlobOf(Blob), Salt = BlobOf(Entropy);
  TOutput Out;
  if (!Crypt32().Unprotect(&In, nullptr, &Salt, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &Out.Blob))
    return std::nullopt;
  return SecretText(Out.View());
}
