// Every way the program used to pass a password on left a copy behind. This
// executable replaces the global allocator so that each block freed while a
// case watches is searched for the password; a case also searches the bytes
// of a moved-from object. The std::string cases show the search finds the
// copies it is meant to find.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>

#include "PasswordFiles.h"
#include "PasswordRecord.h"
#include "SecretText.h"
#include "StrUtils.h"

namespace {

std::string_view Watched;
int FreedHolding = 0;

// The password's first or last six bytes: a copy keeps at least one of them
// even when its first byte or its length was reset.
bool HoldsPiece(const void* Data, std::size_t Size) {
  if (Watched.empty()) return false;
  const std::string_view Bytes(static_cast<const char*>(Data), Size);
  return Bytes.find(Watched.substr(0, 6)) != std::string_view::npos ||
         Bytes.find(Watched.substr(Watched.size() - 6)) != std::string_view::npos;
}

std::size_t BlockSize(void* Block) {
#ifdef _WIN32
  return _msize(Block);
#else
  return malloc_usable_size(Block);
#endif
}

void* Allocate(std::size_t Size) {
  if (void* Block = std::malloc(Size ? Size : 1)) return Block;
  throw std::bad_alloc();
}

void Free(void* Block) noexcept {
  if (!Block) return;
  if (HoldsPiece(Block, BlockSize(Block))) ++FreedHolding;
  std::free(Block);
}

const char Short[] = "Kp7#qZ2!xR";  // held inside a std::string object
const char Long[] = "Kp7#qZ2!xR, and long enough for the heap";
const wchar_t LongWide[] = L"Kp7#qZ2!xR, and long enough for the heap";

class SecretCopies : public testing::Test {
 protected:
  static void Watch(std::string_view Password) {
    Watched = Password;
    FreedHolding = 0;
  }
  void TearDown() override { Watched = {}; }
};

template <typename T>
bool ObjectHoldsPiece(const T& Object) {
  return HoldsPiece(&Object, sizeof Object);
}

}  // namespace

void* operator new(std::size_t Size) { return Allocate(Size); }
void* operator new[](std::size_t Size) { return Allocate(Size); }
void operator delete(void* Block) noexcept { Free(Block); }
void operator delete[](void* Block) noexcept { Free(Block); }
void operator delete(void* Block, std::size_t) noexcept { Free(Block); }
void operator delete[](void* Block, std::size_t) noexcept { Free(Block); }

TEST_F(SecretCopies, MovingAShortPasswordOutOfAStringLeavesItButNotOutOfASecret) {
  Watch(Short);
  std::string EnteredText = Short, Value;
  Value = std::move(EnteredText);
  EXPECT_TRUE(ObjectHoldsPiece(EnteredText));  // what the input box left in its global
  WipeString(Value);

  SecretText EnteredSecret(Short), SecretValue;
  SecretValue = std::move(EnteredSecret);
  EXPECT_FALSE(ObjectHoldsPiece(EnteredSecret));
  EXPECT_TRUE(SecretValue == Short && EnteredSecret.empty());
  SecretValue.Clear();
  EXPECT_EQ(FreedHolding, 0);
}

TEST_F(SecretCopies, GrowingAStringLeavesFreedCopiesButGrowingASecretDoesNot) {
  Watch(Long);
  std::string Typed;
  for (char C : std::string_view(Long)) Typed.push_back(C);
  WipeString(Typed);
  EXPECT_GT(FreedHolding, 0);

  Watch(Long);
  {
    SecretText Secret;
    for (char C : std::string_view(Long)) Secret.Append(C);
    Secret = std::string_view(Short);  // reassignment wipes the longer one
  }
  EXPECT_EQ(FreedHolding, 0);
}

TEST_F(SecretCopies, WideFieldTextSwapAndFileRecordLeaveNoCopy) {
  for (const std::size_t Length : {sizeof Short - 1, sizeof Long - 1}) {
    const std::string_view Password(Long, Length);
    Watch(Password);
    {
      // The input box's field text, straight to UTF-8.
      SecretText Value = SecretText::FromWide(LongWide, Length);
      EXPECT_EQ(Value, Password);
      // The prompt's answer swapped into the empty default password.
      SecretText Default;
      Default.swap(Value);
      EXPECT_FALSE(ObjectHoldsPiece(Value) || ObjectHoldsPiece(Default));
      // Written to the password file and read back, in both formats.
      const std::string File = BuildPasswordFile({Default.Clone(), 46000.5, 5}, true, Seal);
      for (const std::string& Read : {File, OldPasswordFile(Password, 46000.5, 5)}) {
        const TPasswordFileRead Found = ReadPasswordFile(Read, 46000.5, Unseal);
        ASSERT_TRUE(Found.Accepted);
        EXPECT_EQ(Found.Accepted->Password, Default);
      }
    }
    EXPECT_EQ(FreedHolding, 0) << Length;
  }
}
