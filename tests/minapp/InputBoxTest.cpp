#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Files.h"
#include "MinApp.h"
#include "MinDialogs.h"
#include "UnitStartup.h"

namespace {

// Acts on the open box from a thread timer, i.e. from inside its own loop.
std::function<void(HWND Box)> Driver;
UINT_PTR DriverTimer = 0;

void CALLBACK DriveOpenBox(HWND, UINT, UINT_PTR, DWORD) {
  const HWND Box = FindWindowW(L"InputBox", nullptr);
  if (!Box) return;
  KillTimer(nullptr, DriverTimer);
  Driver(Box);
}

struct BoxResult {
  bool Ok;
  std::string Value;
};

BoxResult RunInputBox(std::function<void(HWND Box)> Drive, const std::string& Caption = "Mount",
                      const std::string& Default = "", bool Masked = false) {
  Driver = std::move(Drive);
  DriverTimer = SetTimer(nullptr, 0, 20, DriveOpenBox);
  BoxResult Result{};
  Result.Value = "stale";
  Result.Ok = InputBox(Caption, "Password for the volume:", Default, Result.Value, Masked);
  KillTimer(nullptr, DriverTimer);
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

// Pixels of the field as it paints itself.
std::vector<COLORREF> FieldPixels(HWND Box) {
  const HWND Edit = Field(Box);
  RECT Client;
  GetClientRect(Edit, &Client);
  const HDC Screen = GetDC(nullptr);
  const HDC Memory = CreateCompatibleDC(Screen);
  const HBITMAP Bitmap = CreateCompatibleBitmap(Screen, Client.right, Client.bottom);
  const HGDIOBJ Old = SelectObject(Memory, Bitmap);
  SendMessageW(Edit, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Memory), PRF_CLIENT | PRF_ERASEBKGND);
  std::vector<COLORREF> Pixels;
  for (int Y = 0; Y < Client.bottom; ++Y)
    for (int X = 0; X < Client.right; ++X) Pixels.push_back(GetPixel(Memory, X, Y));
  SelectObject(Memory, Old);
  DeleteObject(Bitmap);
  DeleteDC(Memory);
  ReleaseDC(nullptr, Screen);
  return Pixels;
}

// The input box works with the application's hidden window around it.
class InputBoxTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    AppTitle = "Volume Mounter";
    App = std::make_unique<TMinApplication>(AppTitle);
  }
  static void TearDownTestSuite() { App.reset(); }
  void TearDown() override {
    EXPECT_EQ(ModalLevel, 0);
    EXPECT_EQ(FindWindowW(L"InputBox", nullptr), nullptr);
  }
  static std::unique_ptr<TMinApplication> App;
};
std::unique_ptr<TMinApplication> InputBoxTest::App;

}  // namespace

TEST_F(InputBoxTest, OkReturnsTheTypedText) {
  const BoxResult Result = RunInputBox(
      [](HWND Box) {
        EXPECT_EQ(ModalLevel, 1);
        EXPECT_EQ(WindowText(Box), L"Mount");
        EXPECT_EQ(WindowText(Field(Box)), L"preset");
        // Geometry: a quarter of the screen wide, 150 high, centred.
        RECT Desktop, Rect;
        GetWindowRect(GetDesktopWindow(), &Desktop);
        GetWindowRect(Box, &Rect);
        EXPECT_EQ(Rect.right - Rect.left, (Desktop.right - Desktop.left) / 4);
        EXPECT_EQ(Rect.bottom - Rect.top, 150);
        // The hidden window is mute while the box is open: no close, no hook.
        SendMessageW(Application->Handle, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(Application->Handle));
        SetFieldText(Box, L"Gr\u00FC\u00DFe \u20AC \U0001F600");
        Click(Box, InputBoxOkId);
      },
      "Mount", "preset");
  EXPECT_TRUE(Result.Ok);
  EXPECT_EQ(Result.Value, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80");
}

TEST_F(InputBoxTest, OkWithAnEmptyFieldIsStillOk) {
  const BoxResult Result = RunInputBox([](HWND Box) {
    SetFieldText(Box, L"");
    Click(Box, InputBoxOkId);
  }, "Mount", "preset");
  EXPECT_TRUE(Result.Ok);
  EXPECT_EQ(Result.Value, "");
}

TEST_F(InputBoxTest, CancelAndClosingDiscardTypedText) {
  BoxResult Result = RunInputBox([](HWND Box) {
    Type(Box, L"secret");
    Click(Box, InputBoxCancelId);
  });
  EXPECT_FALSE(Result.Ok);
  EXPECT_EQ(Result.Value, "");

  Result = RunInputBox(
      [](HWND Box) {
        // Without a caption the box shows the application title.
        EXPECT_EQ(WindowText(Box), Utf8ToWide(AppTitle));
        Type(Box, L"secret");
        SendMessageW(Box, WM_SYSCOMMAND, SC_CLOSE, 0);
      },
      "");
  EXPECT_FALSE(Result.Ok);
  EXPECT_EQ(Result.Value, "");
}

// Keeps the focus from the field, so it never notifies the box.
HHOOK FocusBlocker = nullptr;
LRESULT CALLBACK BlockFieldFocus(int Code, WPARAM WParam, LPARAM LParam) {
  if (Code == HCBT_SETFOCUS && GetDlgCtrlID(reinterpret_cast<HWND>(WParam)) == InputBoxEditId) return 1;
  return CallNextHookEx(FocusBlocker, Code, WParam, LParam);
}

TEST_F(InputBoxTest, OkBeforeTheFieldNotifiedIsIgnored) {
  FocusBlocker = SetWindowsHookExW(WH_CBT, BlockFieldFocus, nullptr, GetCurrentThreadId());
  ASSERT_NE(FocusBlocker, nullptr);
  const BoxResult Result = RunInputBox(
      [](HWND Box) {
        Click(Box, InputBoxOkId);
        MSG Message;
        EXPECT_FALSE(PeekMessageW(&Message, Box, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "OK closed the box";
        // Once the field has spoken, OK works.
        UnhookWindowsHookEx(FocusBlocker);
        FocusBlocker = nullptr;
        SetFocus(Field(Box));
        Click(Box, InputBoxOkId);
      },
      "Mount", "preset");
  if (FocusBlocker) UnhookWindowsHookEx(FocusBlocker);
  EXPECT_TRUE(Result.Ok);
  EXPECT_EQ(Result.Value, "preset");
}

TEST_F(InputBoxTest, TextBeyondTheLimitIsCutInUtf16Units) {
  const BoxResult Result = RunInputBox([](HWND Box) {
    SetFieldText(Box, std::wstring(1500, L'\u00E9'));  // two UTF-8 bytes each
    Click(Box, InputBoxOkId);
  });
  EXPECT_TRUE(Result.Ok);
  std::string Expected;
  for (int I = 0; I < InputBoxMaxLength; ++I) Expected += "\xC3\xA9";
  EXPECT_EQ(Result.Value, Expected);
}

TEST_F(InputBoxTest, TextWiderThanTheFieldCanBeTypedWhole) {
  for (bool Masked : {false, true}) {
    const std::wstring Long(300, L'W');
    const BoxResult Result = RunInputBox(
        [&](HWND Box) {
          Type(Box, Long);
          Click(Box, InputBoxOkId);
        },
        "Mount", "", Masked);
    EXPECT_TRUE(Result.Ok);
    EXPECT_EQ(Result.Value, std::string(300, 'W')) << "masked " << Masked;
  }
}

TEST_F(InputBoxTest, MaskedFieldDoesNotShowTheText) {
  // Two texts of one length look alike only when masked.
  const auto LooksAlike = [](bool Masked) {
    bool Alike = false;
    const BoxResult Result = RunInputBox(
        [&](HWND Box) {
          EXPECT_EQ((GetWindowLongW(Field(Box), GWL_STYLE) & ES_PASSWORD) != 0, Masked);
          SetFieldText(Box, L"iiiiii");
          const auto Narrow = FieldPixels(Box);
          SetFieldText(Box, L"WWWWWW");
          Alike = FieldPixels(Box) == Narrow;
          EXPECT_EQ(WindowText(Field(Box)), L"WWWWWW");
          Click(Box, InputBoxOkId);
        },
        "Mount", "", Masked);
    EXPECT_EQ(Result.Value, "WWWWWW");
    return Alike;
  };
  EXPECT_TRUE(LooksAlike(true));
  EXPECT_FALSE(LooksAlike(false));
}

// Refuses to create the box window itself.
HHOOK CreateBlocker = nullptr;
LRESULT CALLBACK BlockBoxCreation(int Code, WPARAM WParam, LPARAM LParam) {
  wchar_t ClassName[32];
  if (Code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(WParam), ClassName, 32) &&
      std::wstring(ClassName) == L"InputBox")
    return 1;
  return CallNextHookEx(CreateBlocker, Code, WParam, LParam);
}

TEST_F(InputBoxTest, NoWindowMeansNoLoop) {
  CreateBlocker = SetWindowsHookExW(WH_CBT, BlockBoxCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(CreateBlocker, nullptr);
  std::string Value = "stale";
  EXPECT_FALSE(InputBox("Mount", "Password:", "x", Value));
  UnhookWindowsHookEx(CreateBlocker);
  EXPECT_EQ(Value, "");
}

TEST_F(InputBoxTest, QuitWhileOpenEndsTheBoxAndReachesTheOuterLoop) {
  const BoxResult Result = RunInputBox([](HWND Box) {
    Type(Box, L"abc");
    PostQuitMessage(3);
  });
  EXPECT_FALSE(Result.Ok);
  MSG Message;
  ASSERT_TRUE(PeekMessageW(&Message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(Message.wParam, 3u);
}
