#include "ProfileCodePage.h"

#include <windows.h>

#include "Text.h"

namespace {

std::optional<std::string> Utf8ToAnsi(std::string_view Text) {
  // With UTF-8 as the ANSI code page (a Windows option) there is nothing to
  // convert, and the conversion would refuse the flag below.
  if (Text.empty() || GetACP() == CP_UTF8) return std::string(Text);
  const std::wstring Wide = Utf8ToWide(std::string(Text));
  const int WideSize = static_cast<int>(Wide.size());
  // No best fit: "Ł" must not be saved as "L" and read back as another name.
  BOOL UsedDefault = FALSE;
  const int Size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide.data(), WideSize, nullptr, 0, nullptr, &UsedDefault);
  if (Size <= 0 || UsedDefault) return std::nullopt;
  std::string Bytes(static_cast<std::size_t>(Size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide.data(), WideSize, Bytes.data(), Size, nullptr, nullptr);
  return Bytes;
}

std::string AnsiToUtf8(std::string_view Bytes) {
  if (Bytes.empty()) return {};
  const int Size = static_cast<int>(Bytes.size());
  const int WideSize = MultiByteToWideChar(CP_ACP, 0, Bytes.data(), Size, nullptr, 0);
  std::wstring Wide(static_cast<std::size_t>(WideSize > 0 ? WideSize : 0), L'\0');
  if (WideSize > 0) MultiByteToWideChar(CP_ACP, 0, Bytes.data(), Size, Wide.data(), WideSize);
  return WideToUtf8(Wide);
}

}  // namespace

TProfileCodePage AnsiProfileCodePage() { return {AnsiToUtf8, Utf8ToAnsi}; }
