// The input box driven through its real controls from inside its own loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Files.h"
#include "MinApp.h"
#include "MinDialogs.h"
#include "UnitStartup.h"
#include "WindowTestHelpers.h"

namespace {

struct BoxResult {
  bool Ok;
  std::string Value;
};

BoxResult RunInputBox(std::function<void(HWND Box)> Drive, const std::string& Caption = "Mount",
                      const std::string& Default = "", bool Masked = false) {
  DelayedAction Driver(50, [&] { Drive(FindWindowW(L"InputBox", nullptr)); });
  BoxResult Result{false, "stale"};
  Result.Ok = InputBox(Caption, "Password for the volume:", Default, Result.Value, Masked);
  return Result;
}

HWND Field(HWND Box) { return GetDlgItem(Box, InputBoxEditId); }
void Click(HWND Box, int Id) { SendMessageW(GetDlgItem(Box, Id), BM_CLICK, 0, 0); }
void SetFieldText(HWND Box, const std::wstring& Text) { SetWindowTextW(Field(Box), Text.c_str()); }
void Type(HWND Box, const std::wstring& Text) {
  for (wchar_t C : Text) SendMessageW(Field(Box), WM_CHAR, C, 1);
}
std::wstring WindowText(HWND Window) {
  wchar_t Buffer[4096];
  return std::wstring(Buffer, GetWindowTextW(Window, Buffer, 4096));
}

// The field as it paints itself.
std::vector<COLORREF> FieldPixels(HWND Box) {
  RECT Client;
  GetClientRect(Field(Box), &Client);
  const HDC Screen = GetDC(nullptr), Memory = CreateCompatibleDC(Screen);
  const HBITMAP Bitmap = CreateCompatibleBitmap(Screen, Client.right, Client.bottom);
  SelectObject(Memory, Bitmap);
  SendMessageW(Field(Box), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Memory), PRF_CLIENT | PRF_ERASEBKGND);
  std::vector<COLORREF> Pixels;
  for (int Y = 0; Y < Client.bottom; ++Y)
    for (int X = 0; X < Client.right; ++X) Pixels.push_back(GetPixel(Memory, X, Y));
  DeleteDC(Memory);
  DeleteObject(Bitmap);
  ReleaseDC(nullptr, Screen);
  return Pixels;
}

// While it lives, refuses the creation of the box window (HCBT_CREATEWND)
// or the focus to its field (HCBT_SETFOCUS).
struct BoxBlocker {
  explicit BoxBlocker(int What) { Code = What, Hook = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId()); }
  ~BoxBlocker() { UnhookWindowsHookEx(Hook); }
  static LRESULT CALLBACK Proc(int What, WPARAM WParam, LPARAM LParam) {
    const HWND Window = reinterpret_cast<HWND>(WParam);
    wchar_t Class[16] = {};
    GetClassNameW(Window, Class, 16);
    if (What == Code && (What == HCBT_CREATEWND ? std::wstring(Class) == L"InputBox"
                                                : GetDlgCtrlID(Window) == InputBoxEditId))
      return 1;
    return CallNextHookEx(Hook, What, WParam, LParam);
  }
  static inline int Code = 0;
  static inline HHOOK Hook = nullptr;
};

class InputBoxTest : public ::testing::Test {
protected:
  void SetUp() override { AppTitle = "Volume Mounter"; }
  void TearDown() override {
    EXPECT_EQ(ModalLevel, 0);
    EXPECT_EQ(FindWindowW(L"InputBox", nullptr), nullptr);
  }
  std::unique_ptr<TMinApplication> App = std::make_unique<TMinApplication>("Volume Mounter");
};

TEST_F(InputBoxTest, AnswersThroughItsControls) {
  std::string Cut;
  for (int I = 0; I < InputBoxMaxLength; ++I) Cut += "\xC3\xA9";
  const struct {
    std::string Caption;
    std::function<void(HWND)> Drive;
    bool Ok;
    std::string Value;
  } Cases[] = {
      {"Mount", [](HWND Box) { SetFieldText(Box, L"Gr\u00FC\u00DFe \U0001F600"), Click(Box, InputBoxOkId); }, true,
       "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80"},
      {"", [](HWND Box) { SetFieldText(Box, L""), Click(Box, InputBoxOkId); }, true, ""},
      {"Mount", [](HWND Box) { Type(Box, L"secret"), Click(Box, InputBoxCancelId); }, false, ""},
      {"Mount", [](HWND Box) { Type(Box, L"secret"), SendMessageW(Box, WM_SYSCOMMAND, SC_CLOSE, 0); }, false, ""},
      // Cut in UTF-16 units, not in bytes.
      {"Mount", [](HWND Box) { SetFieldText(Box, std::wstring(1500, L'\u00E9')), Click(Box, InputBoxOkId); }, true, Cut},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Value.substr(0, 20));
    const BoxResult Result = RunInputBox(
        [&](HWND Box) {
          EXPECT_EQ(ModalLevel, 1);
          // Without a caption the box shows the application title.
          EXPECT_EQ(WindowText(Box), Utf8ToWide(Case.Caption.empty() ? AppTitle : Case.Caption));
          EXPECT_EQ(WindowText(Field(Box)), L"preset");
          RECT Desktop, Rect;
          GetWindowRect(GetDesktopWindow(), &Desktop);
          GetWindowRect(Box, &Rect);
          EXPECT_EQ(Rect.right - Rect.left, (Desktop.right - Desktop.left) / 4);
          EXPECT_EQ(Rect.bottom - Rect.top, 150);
          Case.Drive(Box);
        },
        Case.Caption, "preset");
    EXPECT_EQ(Result.Ok, Case.Ok);
    EXPECT_EQ(Result.Value, Case.Value);
  }
}

TEST_F(InputBoxTest, OkBeforeTheFieldNotifiedIsIgnored) {
  std::optional<BoxBlocker> Blocker(HCBT_SETFOCUS);
  const BoxResult Result = RunInputBox(
      [&](HWND Box) {
        Click(Box, InputBoxOkId);
        MSG Message;
        EXPECT_FALSE(PeekMessageW(&Message, Box, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "OK closed the box";
        // Once the field has spoken, OK works.
        Blocker.reset();
        SetFocus(Field(Box));
        Click(Box, InputBoxOkId);
      },
      "Mount", "preset");
  EXPECT_TRUE(Result.Ok);
  EXPECT_EQ(Result.Value, "preset");
}

TEST_F(InputBoxTest, WideTextIsTypedWholeAndOnlyAMaskedFieldHidesIt) {
  for (bool Masked : {false, true}) {
    SCOPED_TRACE(Masked ? "masked" : "plain");
    bool Alike = false;
    const BoxResult Result = RunInputBox(
        [&](HWND Box) {
          // Two texts of one length look alike only when masked.
          SetFieldText(Box, L"iiiiii");
          const auto Narrow = FieldPixels(Box);
          SetFieldText(Box, L"WWWWWW");
          Alike = FieldPixels(Box) == Narrow;
          SetFieldText(Box, L"");
          Type(Box, std::wstring(300, L'W'));
          Click(Box, InputBoxOkId);
        },
        "Mount", "", Masked);
    EXPECT_EQ(Alike, Masked);
    EXPECT_EQ(Result.Value, std::string(300, 'W'));
  }
}

TEST_F(InputBoxTest, NoWindowMeansNoLoop) {
  BoxBlocker Blocker(HCBT_CREATEWND);
  std::string Value = "stale";
  EXPECT_FALSE(InputBox("Mount", "Password:", "x", Value));
  EXPECT_EQ(Value, "");
}

TEST_F(InputBoxTest, QuitWhileOpenEndsTheBoxAndReachesTheOuterLoop) {
  EXPECT_FALSE(RunInputBox([](HWND) { PostQuitMessage(3); }).Ok);
  MSG Message;
  ASSERT_TRUE(PeekMessageW(&Message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(Message.wParam, 3u);
}

}  // namespace
