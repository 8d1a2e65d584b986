// Every way the program used to pass a password on left a copy behind. This
// executable replaces the global allocator so that each block freed while a
// case watches is searched for the password, as are the bytes of a moved-from
// object. The std::string cases show that the search finds such copies.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>

#include "MountCommandLine.h"
#include "PasswordFiles.h"
#include "PasswordRecord.h"
#include "SecretText.h"
#include "StrUtils.h"
#ifdef _WIN32
#include "Process.h"
#include "Text.h"
#endif

namespace {

std::string_view Watched;
int FreedHolding = 0;

// The password's first or last six characters, in bytes or in UTF-16 (the
// passwords here are ASCII): a copy keeps at least one of them even when its
// first character or its length was reset.
bool HoldsPiece(const void* Data, std::size_t Size) {
  if (Watched.empty()) return false;
  const std::string_view Bytes(static_cast<const char*>(Data), Size);
  for (const std::string_view Piece : {Watched.substr(0, 6), Watched.substr(Watched.size() - 6)}) {
    char Wide[12];
    for (std::size_t I = 0; I < 6; ++I) Wide[2 * I] = Piece[I], Wide[2 * I + 1] = 0;
    if (Bytes.find(Piece) != std::string_view::npos || Bytes.find(std::string_view(Wide, 12)) != std::string_view::npos)
      return true;
  }
  return false;
}

void* Allocate(std::size_t Size) {
  if (void* Block = std::malloc(Size ? Size : 1)) return Block;
  throw std::bad_alloc();
}

void Free(void* Block) noexcept {
  if (!Block) return;
#ifdef _WIN32
  if (HoldsPiece(Block, _msize(Block))) ++FreedHolding;
#else
  if (HoldsPiece(Block, malloc_usable_size(Block))) ++FreedHolding;
#endif
  std::free(Block);
}

const char Short[] = "Kp7#qZ2!xR";  // held inside a std::string object
const char Long[] = "Kp7#qZ2!xR, and long enough for the heap";
const wchar_t LongWide[] = L"Kp7#qZ2!xR, and long enough for the heap";

class SecretCopies : public testing::Test {
 protected:
  static void Watch(std::string_view Password) { Watched = Password, FreedHolding = 0; }
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

// The search itself: a short string moved out keeps its bytes in the object,
// a growing one leaves them in the blocks it frees, as the input box's text
// did. Wiping clears the bytes a string holds, narrow or wide, and no more.
TEST_F(SecretCopies, TheSearchFindsTheCopiesAStringLeavesUnlessWiped) {
  Watch(Long);
  {
    std::string Whole = Long;
    std::wstring Wide = LongWide;
    WipeString(Whole), WipeString(Wide);
  }
  EXPECT_EQ(FreedHolding, 0);
  Watch(Short);
  std::string Entered = Short, Value = std::move(Entered), Typed;
  EXPECT_TRUE(ObjectHoldsPiece(Entered));
  WipeString(Value);
  EXPECT_FALSE(ObjectHoldsPiece(Value));
  for (char C : std::string_view(Long)) Typed.push_back(C);
  WipeString(Typed);
  EXPECT_GT(FreedHolding, 0);
}

// The input box's field text to UTF-8, moved, grown and swapped into the
// default password, then written to the password file and read back in both
// formats.
TEST_F(SecretCopies, FieldTextMovesGrowthSwapAndFileRecordLeaveNoCopy) {
  for (const std::size_t Length : {sizeof Short - 1, sizeof Long - 1}) {
    const std::string_view Password(Long, Length);
    Watch(Password);
    {
      SecretText Entered = SecretText::FromWide(LongWide, Length), Value, Default, Grown;
      Value = std::move(Entered);
      Default.swap(Value);
      EXPECT_TRUE(Default == Password && Entered.empty() && Value.empty());
      EXPECT_FALSE(ObjectHoldsPiece(Entered) || ObjectHoldsPiece(Value) || ObjectHoldsPiece(Default));
      for (char C : Password) Grown.Append(C);
      Grown = std::string_view("x");  // reassignment wipes the longer text
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

#ifdef _WIN32
// The last leg: the mount line, and the wide command line the program is
// started with.
TEST_F(SecretCopies, TheMountLineAndTheStartedCommandLineLeaveNoCopy) {
  Watch(Long);
  {
    const SecretText Params = MountParameters("C:\\Vault\\data.hc", Long, "Data", false, false, 'X');
    wchar_t System[MAX_PATH];
    const UINT Length = GetSystemDirectoryW(System, MAX_PATH);
    const std::string Program = WideToUtf8(std::wstring(System, Length)) + "\\cmd.exe";
    const TKernelHandle Started = StartProcess(Program, Params.view());
    ASSERT_TRUE(Started);
    TerminateProcess(Started.get(), 0);
  }
  EXPECT_EQ(FreedHolding, 0);
}
#endif
