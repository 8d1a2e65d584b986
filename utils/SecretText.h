#pragma once
// Text that holds a password (UTF-8 bytes). Unlike std::string it never keeps
// bytes inside the object itself: they live in one heap block that is wiped
// before it is released, whether on destruction, assignment, Clear or growth.
// A move hands the block over and leaves the source empty, so no copy is
// left behind in a moved-from variable. Copies are explicit (Clone).
#include <cstddef>
#include <string_view>

class SecretText {
 public:
  SecretText() noexcept = default;
  explicit SecretText(std::string_view Text);
  SecretText(SecretText&& Other) noexcept;
  SecretText& operator=(SecretText&& Other) noexcept;
  SecretText& operator=(std::string_view Text);
  SecretText(const SecretText&) = delete;
  SecretText& operator=(const SecretText&) = delete;
  ~SecretText();

  // UTF-16 code units (a field's text) encoded as UTF-8 straight into the
  // secret's block, with no intermediate string. A unit that is not part of
  // a valid surrogate pair becomes U+FFFD.
  static SecretText FromWide(const wchar_t* Text, std::size_t Count);

  SecretText Clone() const { return SecretText(view()); }
  void Append(std::string_view Text);
  void Append(char C) { Append(std::string_view(&C, 1)); }
  // Room for Count bytes, so later appends up to it do not move the bytes.
  void Reserve(std::size_t Count);
  void Clear() noexcept;
  void swap(SecretText& Other) noexcept;

  std::string_view view() const noexcept { return {Bytes ? Bytes : "", Size}; }
  const char* data() const noexcept { return Bytes ? Bytes : ""; }
  std::size_t size() const noexcept { return Size; }
  bool empty() const noexcept { return Size == 0; }

  friend bool operator==(const SecretText& A, const SecretText& B) noexcept { return A.view() == B.view(); }
  friend bool operator==(const SecretText& A, std::string_view B) noexcept { return A.view() == B; }

 private:
  // Moves the bytes and Extra after them into a new block of Count bytes.
  void Regrow(std::size_t Count, std::string_view Extra);
  void Release() noexcept;

  char* Bytes = nullptr;
  std::size_t Size = 0;
  std::size_t Capacity = 0;
};
