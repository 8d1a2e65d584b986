// ISO 8859-1 as the ANSI code page of Windows-free tests: every byte is a
// character, and characters above U+00FF have no byte.
#pragma once
#include "ProfileText.h"

inline TProfileCodePage Latin1CodePage() {
  return {[](std::string_view Bytes) {
            std::string Text;
            for (const unsigned char C : Bytes)
              Text += C < 0x80 ? std::string(1, char(C)) : std::string{char(0xC0 | C >> 6), char(0x80 | (C & 0x3F))};
            return Text;
          },
          [](std::string_view Text) -> std::optional<std::string> {
            // Text is UTF-8: U+0080..U+00FF start with C2 or C3.
            std::string Bytes;
            for (std::size_t I = 0; I < Text.size(); ++I) {
              const unsigned char C = static_cast<unsigned char>(Text[I]);
              if (C < 0x80)
                Bytes += static_cast<char>(C);
              else if ((C == 0xC2 || C == 0xC3) && I + 1 < Text.size())
                Bytes += static_cast<char>((C & 0x03) << 6 | (Text[++I] & 0x3F));
              else
                return std::nullopt;
            }
            return Bytes;
          }};
}
