#include "SecretText.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "StrUtils.h"

namespace {

constexpr std::size_t SmallestBlock = 16;
constexpr char32_t Replacement = 0xFFFD;

bool IsHighSurrogate(char32_t U) { return U >= 0xD800 && U <= 0xDBFF; }
bool IsLowSurrogate(char32_t U) { return U >= 0xDC00 && U <= 0xDFFF; }

// Calls Emit with each code point of the UTF-16 units.
template <typename TEmit>
void DecodeUtf16(const wchar_t* Text, std::size_t Count, TEmit Emit) {
  for (std::size_t I = 0; I < Count; ++I) {
    const char32_t U = static_cast<char32_t>(Text[I]);
    if (U > 0xFFFF || IsLowSurrogate(U)) {
      Emit(Replacement);
    } else if (IsHighSurrogate(U)) {
      const char32_t Next = I + 1 < Count ? static_cast<char32_t>(Text[I + 1]) : 0;
      if (IsLowSurrogate(Next)) {
        Emit(0x10000 + ((U - 0xD800) << 10) + (Next - 0xDC00));
        ++I;
      } else {
        Emit(Replacement);
      }
    } else {
      Emit(U);
    }
  }
}

std::size_t Utf8Length(char32_t C) { return C < 0x80 ? 1 : C < 0x800 ? 2 : C < 0x10000 ? 3 : 4; }

char* PutUtf8(char* Out, char32_t C) {
  const std::size_t Length = Utf8Length(C);
  if (Length == 1) {
    *Out++ = static_cast<char>(C);
    return Out;
  }
  static constexpr unsigned char Lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
  for (std::size_t I = Length - 1; I > 0; --I) {
    Out[I] = static_cast<char>(0x80 | (C & 0x3F));
    C >>= 6;
  }
  Out[0] = static_cast<char>(Lead[Length] | C);
  return Out + Length;
}

}  // namespace

SecretText::SecretText(std::string_view Text) { Append(Text); }

SecretText::SecretText(SecretText&& Other) noexcept
    : Bytes(std::exchange(Other.Bytes, nullptr)),
      Size(std::exchange(Other.Size, 0)),
      Capacity(std::exchange(Other.Capacity, 0)) {}

SecretText& SecretText::operator=(SecretText&& Other) noexcept {
  if (this != &Other) {
    Release();
    swap(Other);
  }
  return *this;
}

SecretText& SecretText::operator=(std::string_view Text) {
  // Built apart first: Text may lie inside this secret's own block.
  SecretText Copy(Text);
  return *this = std::move(Copy);
}

SecretText::~SecretText() { Release(); }

SecretText SecretText::FromWide(const wchar_t* Text, std::size_t Count) {
  std::size_t Length = 0;
  DecodeUtf16(Text, Count, [&](char32_t C) { Length += Utf8Length(C); });
  SecretText Result;
  Result.Reserve(Length);
  char* Out = Result.Bytes;
  DecodeUtf16(Text, Count, [&](char32_t C) { Out = PutUtf8(Out, C); });
  Result.Size = Length;
  return Result;
}

void SecretText::Append(std::string_view Text) {
  if (Text.empty()) return;
  if (Text.size() > Capacity - Size) return Regrow(std::max(Size + Text.size(), 2 * Capacity), Text);
  std::memcpy(Bytes + Size, Text.data(), Text.size());
  Size += Text.size();
}

void SecretText::Reserve(std::size_t Count) {
  if (Count > Capacity) Regrow(Count, {});
}

void SecretText::Regrow(std::size_t Count, std::string_view Extra) {
  Count = std::max(Count, SmallestBlock);
  char* Grown = new char[Count];
  if (Size) std::memcpy(Grown, Bytes, Size);
  // Extra may lie in the old block, so that is released only now.
  if (!Extra.empty()) std::memcpy(Grown + Size, Extra.data(), Extra.size());
  const std::size_t GrownSize = Size + Extra.size();
  Release();
  Bytes = Grown;
  Size = GrownSize;
  Capacity = Count;
}

void SecretText::Clear() noexcept { Release(); }

void SecretText::swap(SecretText& Other) noexcept {
  std::swap(Bytes, Other.Bytes);
  std::swap(Size, Other.Size);
  std::swap(Capacity, Other.Capacity);
}

void SecretText::Release() noexcept {
  if (Bytes) {
    WipeBytes(Bytes, Capacity);
    delete[] Bytes;
  }
  Bytes = nullptr;
  Size = 0;
  Capacity = 0;
}
