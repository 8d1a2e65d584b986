// The input box driven through its real controls from inside its own loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Files.h"
#include "MinApp.h"
#include "MinDialogs.h"
#include "UnitStartup.h"
#include "WindowTestHelpers.h"

namespace {

// The text on OK; nothing on Cancel, close or failure, which also empty Value.
std::optional<std::string> RunInputBox(std::function<void(HWND Box)> Drive, const std::string& Caption = "Mount",
                                       bool Masked = false) {
  DelayedAction Driver(50, [&] { Drive(FindWindowW(L"InputBox", nullptr)); });
  std::string Value = "stale";
  if (InputBox(Caption, "Password for the volume:", "preset", Value, Masked)) return Value;
  EXPECT_EQ(Value, "");
  return std::nullopt;
}

HWND Field(HWND Box) { return GetDlgItem(Box, InputBoxEditId); }
void Click(HWND Box, int Id) { SendMessageW(GetDlgItem(Box, Id), BM_CLICK, 0, 0); }
void SetText(HWND Box, const std::wstring& Text) { SetWindowTextW(Field(Box), Text.c_str()); }
void Type(HWND Box, const std::wstring& Text) {
  for (wchar_t C : Text) SendMessageW(Field(Box), WM_CHAR, C, 1);
}
std::wstring WindowText(HWND Window) {
  wchar_t Buffer[64];
  return std::wstring(Buffer, GetWindowTextW(Window, Buffer, 64));
}

// While hooked, refuses the creation of any window (Refused = HCBT_CREATEWND)
// or the focus to the box's field (HCBT_SETFOCUS).
int Refused = 0;
LRESULT CALLBACK Refuse(int Code, WPARAM WParam, LPARAM LParam) {
  const bool Target = Code == HCBT_CREATEWND || GetDlgCtrlID(reinterpret_cast<HWND>(WParam)) == InputBoxEditId;
  return Code == Refused && Target ? 1 : CallNextHookEx(nullptr, Code, WParam, LParam);
}
HHOOK RefuseOnThisThread(int Code) {
  Refused = Code;
  return SetWindowsHookExW(WH_CBT, Refuse, nullptr, GetCurrentThreadId());
}

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
  std::string Cut;  // in UTF-16 units, not in bytes
  for (int I = 0; I < InputBoxMaxLength; ++I) Cut += "\xC3\xA9";
  const struct {
    std::string Caption;
    std::function<void(HWND)> Drive;
    std::optional<std::string> Result;
  } Cases[] = {
      {"Mount", [](HWND Box) { SetText(Box, L"Gr\u00FC\u00DFe \U0001F600"), Click(Box, InputBoxOkId); },
       "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80"},
      {"", [](HWND Box) { SetText(Box, L""), Click(Box, InputBoxOkId); }, ""},
      {"Mount", [](HWND Box) { Type(Box, L"secret"), Click(Box, InputBoxCancelId); }, std::nullopt},
      {"Mount", [](HWND Box) { Type(Box, L"secret"), SendMessageW(Box, WM_SYSCOMMAND, SC_CLOSE, 0); }, std::nullopt},
      {"Mount", [](HWND Box) { SetText(Box, std::wstring(1500, L'\u00E9')), Click(Box, InputBoxOkId); }, Cut},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Result.value_or("(none)").substr(0, 20));
    const auto Drive = [&](HWND Box) {
      EXPECT_EQ(ModalLevel, 1);
      // Without a caption the box shows the application title.
      EXPECT_EQ(WindowText(Box), Utf8ToWide(Case.Caption.empty() ? AppTitle : Case.Caption));
      EXPECT_EQ(WindowText(Field(Box)), L"preset");
      Case.Drive(Box);
    };
    EXPECT_EQ(RunInputBox(Drive, Case.Caption), Case.Result);
  }
}

TEST_F(InputBoxTest, OkBeforeTheFieldNotifiedIsIgnored) {
  const HHOOK Hook = RefuseOnThisThread(HCBT_SETFOCUS);
  EXPECT_EQ(RunInputBox([](HWND Box) {
              Click(Box, InputBoxOkId);
              MSG Message;
              EXPECT_FALSE(PeekMessageW(&Message, Box, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "OK closed the box";
              Refused = 0;  // once the field has spoken, OK works
              SetFocus(Field(Box));
              Click(Box, InputBoxOkId);
            }),
            "preset");
  UnhookWindowsHookEx(Hook);
}

TEST_F(InputBoxTest, WideTextIsTypedWholeAndOnlyAMaskedFieldHidesIt) {
  for (bool Masked : {false, true}) {
    bool Alike = false;
    const auto Drive = [&](HWND Box) {
      const auto SixthX = [&](const wchar_t* Text) {
        SetText(Box, Text);
        return LOWORD(SendMessageW(Field(Box), EM_POSFROMCHAR, 5, 0));
      };
      // Narrow and wide letters take the same room only when masked.
      Alike = SixthX(L"iiiiii") == SixthX(L"WWWWWW");
      SetText(Box, L"");
      Type(Box, std::wstring(300, L'W'));
      Click(Box, InputBoxOkId);
    };
    EXPECT_EQ(RunInputBox(Drive, "Mount", Masked), std::string(300, 'W'));
    EXPECT_EQ(Alike, Masked);
  }
}

TEST_F(InputBoxTest, NoWindowMeansNoLoopAndQuitEndsTheBoxAndReachesTheOuterLoop) {
  const HHOOK Hook = RefuseOnThisThread(HCBT_CREATEWND);
  EXPECT_EQ(RunInputBox([](HWND) { ADD_FAILURE() << "looping without a box"; }), std::nullopt);
  UnhookWindowsHookEx(Hook);

  EXPECT_EQ(RunInputBox([](HWND) { PostQuitMessage(3); }), std::nullopt);
  MSG Message;
  ASSERT_TRUE(PeekMessageW(&Message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(Message.wParam, 3u);
}

}  // namespace
