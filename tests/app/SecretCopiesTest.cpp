// Every way the program used to pass a password on left a copy behind. This
// executable replaces the global allocator so that each block freed while a
// case watches is searched for the password.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>

#include "StrUtils.h"
#ifdef _WIN32
#include "MountCommandLine.h"
#include "Process.h"
#include "Text.h"
#define malloc_usable_size _msize  // the same answer from the Windows heap
#endif

namespace {

const char Password[] = "Kp7#qZ2!xR, and long enough for the heap";
bool Watching = false;
int FreedHolding = 0;

// The password's first or last six characters, in bytes or in UTF-16 (it is
// ASCII): a copy keeps at least one of them even when its first character or
// its length was reset.
bool HoldsPiece(const void* Data, std::size_t Size) {
  if (!Watching) return false;
  const std::string_view Bytes(static_cast<const char*>(Data), Size), Watched(Password);
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
  if (HoldsPiece(Block, malloc_usable_size(Block))) ++FreedHolding;
  std::free(Block);
}

class SecretCopies : public testing::Test {
 protected:
  void SetUp() override { Watching = true, FreedHolding = 0; }
  void TearDown() override { Watching = false; }
};

}  // namespace

void* operator new(std::size_t Size) { return Allocate(Size); }
void* operator new[](std::size_t Size) { return Allocate(Size); }
void operator delete(void* Block) noexcept { Free(Block); }
void operator delete[](void* Block) noexcept { Free(Block); }
void operator delete(void* Block, std::size_t) noexcept { Free(Block); }
void operator delete[](void* Block, std::size_t) noexcept { Free(Block); }

// The search itself: a growing string leaves the password in the blocks it
// frees, as the input box's text did, and wiping clears the bytes a string
// holds, narrow or wide.
TEST_F(SecretCopies, TheSearchFindsTheCopiesAGrowingStringLeavesUnlessWiped) {
  {
    std::string Whole = Password;
    std::wstring Wide(Whole.begin(), Whole.end());
    WipeString(Whole), WipeString(Wide);
  }
  EXPECT_EQ(FreedHolding, 0);
  std::string Typed;
  for (char C : std::string_view(Password)) Typed.push_back(C);
  WipeString(Typed);
  EXPECT_GT(FreedHolding, 0);
}

#ifdef _WIN32
// The last leg: the mount line, and the wide command line the program is
// started with.
TEST_F(SecretCopies, TheMountLineAndTheStartedCommandLineLeaveNoCopy) {
  {
    const SecretText Params = MountParameters("C:\\Vault\\data.hc", Password, "Data", false, false, 'X');
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
