// The input box driven through its real controls from the application's loop.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "MinApp.h"
#include "MinDialogs.h"
#include "UnitStartup.h"
#include "WindowTestHelpers.h"
#include "WineDesktop.h"

// The text on OK; nothing on Cancel or close. The box is asked from the
// application's loop, as the program asks, Drive runs once it is up, and the
// answer ends the loop.
static std::optional<std::string> RunInputBox(std::function<void(HWND Box)> Drive, bool Masked = false) {
  AppTitle = "Volume Mounter";
  TMinApplication App(AppTitle);
  std::optional<std::string> Result;
  int Answers = 0;
  std::unique_ptr<TInputBox> Box;
  DelayedAction Ask(10, [&] {
    Box = TInputBox::Show("", "Password for the volume:", "preset", Masked, [&](bool Submitted, SecretText Text) {
      ++Answers;
      if (Submitted) Result = std::string(Text.view());
      EXPECT_TRUE(Submitted || Text.empty());
      App.Terminate();
    });
    if (!Box) App.Terminate();
  });
  DelayedAction Driver(300, [&] {
    if (Box) Drive(Box->Handle);
  });
  DelayedAction Watchdog(10000, [&] {
    ADD_FAILURE() << "the box is still open";
    App.Terminate();
  });
  App.Run();
  EXPECT_EQ(Answers, 1);
  return Result;
}

static HWND Field(HWND Box) { return GetDlgItem(Box, InputBoxEditId); }
static void Click(HWND Box, int Id) { SendMessageW(GetDlgItem(Box, Id), BM_CLICK, 0, 0); }
static void SetText(HWND Box, const std::wstring& Text) { SetWindowTextW(Field(Box), Text.c_str()); }
static std::wstring WindowText(HWND Window) {
  wchar_t B[64];
  return std::wstring(B, GetWindowTextW(Window, B, 64));
}

// Text set, cut in UTF-16 units, not in bytes; only a masked field
// gives narrow and wide letters the same room.
TEST(InputBox, AnswersThroughItsControls) {
  std::string Cut;
  for (int I = 0; I < InputBoxMaxLength; ++I) Cut += "\xC3\xA9";
  const struct {
    bool Masked;
    std::function<void(HWND)> Act;
    std::optional<std::string> Result;
  } Cases[] = {
      {false, [](HWND Box) { SetText(Box, L"Gr\u00FC\u00DFe \U0001F600"), Click(Box, InputBoxOkId); },
       "Gr\xC3\xBC\xC3\x9F"
       "e \xF0\x9F\x98\x80"},
      {true, [](HWND Box) { SetText(Box, L""), Click(Box, InputBoxOkId); }, ""},
      {true, [](HWND Box) { SetText(Box, L"secret"), SendMessageW(Box, WM_SYSCOMMAND, SC_CLOSE, 0); }, std::nullopt},
      {false, [](HWND Box) { SetText(Box, std::wstring(1500, L'\u00E9')), Click(Box, InputBoxOkId); }, Cut},
  };
  for (const auto& [Masked, Act, Result] : Cases) {
    SCOPED_TRACE(Result.value_or("(none)").substr(0, 20));
    const auto Drive = [&](HWND Box) {
      EXPECT_EQ(WindowText(Box), L"Volume Mounter");  // no caption given: the application title
      EXPECT_EQ(WindowText(Field(Box)), L"preset");
      const auto SixthX = [&](const wchar_t* Text) {
        return SetText(Box, Text), LOWORD(SendMessageW(Field(Box), EM_POSFROMCHAR, 5, 0));
      };
      EXPECT_EQ(SixthX(L"iiiiii") == SixthX(L"WWWWWW"), Masked);
      Act(Box);
    };
    EXPECT_EQ(RunInputBox(Drive, Masked), Result);
  }
}

// Real key presses, through the X server to the window with the focus: the
// box must have taken the foreground and put the focus in its field. Enter in
// the field is typed in the first-start scenario.
TEST(InputBox, EnterPressesTheDefaultButtonEscapeCancelsAndTabMovesAround) {
  const std::pair<const char*, std::optional<std::string>> Cases[] = {
      {"key Escape", std::nullopt},          {"key Tab Return", "preset"},  // Tab reaches OK...
      {"key Tab Tab Return", std::nullopt},                                 // ...then Cancel, which Enter presses
      {"key shift+Tab space", std::nullopt},                                // back from the field to Cancel
      {"key Tab Tab Tab 7 Return", "7"},                                    // round to the field, its text selected
  };
  for (const auto& [Keys, Result] : Cases) {
    SCOPED_TRACE(Keys);
    EXPECT_EQ(RunInputBox([&](HWND Box) { EXPECT_TRUE(StartTyping(Box, Keys)); }), Result);
  }
}
