// The window base: each window reaches its own object, from creation on.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "MinWindow.h"

namespace {

constexpr wchar_t TestClass[] = L"MinWindowTest";

// Answers WM_USER with its own address.
class Recorder : public TMinWindow {
 public:
  std::vector<UINT> Seen;

 protected:
  LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override {
    Seen.push_back(Msg);
    return Msg == WM_USER ? reinterpret_cast<LRESULT>(this) : TMinWindow::HandleMessage(Msg, WParam, LParam);
  }
};

}  // namespace

TEST(MinWindow, EachWindowReachesItsOwnObjectFromCreationUntilItGoes) {
  ASSERT_TRUE(RegisterMinWindowClass(TestClass));
  ASSERT_TRUE(RegisterMinWindowClass(TestClass));  // again, as every creator does
  Recorder Overlapped, MessageOnly;
  ASSERT_TRUE(Overlapped.Create(TestClass, 0, L"", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50));
  ASSERT_TRUE(MessageOnly.Create(TestClass, 0, L"", 0, 0, 0, 0, 0, HWND_MESSAGE));
  for (Recorder* Window : {&Overlapped, &MessageOnly}) {
    EXPECT_EQ(Window->Seen.at(0), UINT(WM_NCCREATE));
    EXPECT_NE(std::find(Window->Seen.begin(), Window->Seen.end(), UINT(WM_CREATE)), Window->Seen.end());
    EXPECT_EQ(SendMessageW(Window->Handle, WM_USER, 0, 0), reinterpret_cast<LRESULT>(Window));
  }

  DestroyWindow(Overlapped.Handle);
  EXPECT_EQ(Overlapped.Seen.back(), UINT(WM_NCDESTROY));
  HWND Scoped;
  {
    Recorder Window;
    ASSERT_TRUE(Window.Create(TestClass, 0, L"", 0, 0, 0, 0, 0, HWND_MESSAGE));
    Scoped = Window.Handle;
  }
  EXPECT_FALSE(IsWindow(Scoped));
}
