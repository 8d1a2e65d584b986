// Run by InputBoxLayoutTest in a process of its own, started after the
// session's DPI was set to INPUTBOX_PROBE_DPI, with the program's manifest:
// opens the input box with a short, a long and an unbreakable prompt and
// checks at that DPI that every control lies inside the client area, is drawn
// in the message font and shows its text whole.
#include <gtest/gtest.h>

#include <string>

#include "MinApp.h"
#include "MinDialogs.h"
#include "MinDpi.h"
#include "UnitStartup.h"
#include "WindowTestHelpers.h"

namespace {

struct Measured {
  int ClientWidth = 0;
  int PromptHeight = 0;
  int LineHeight = 0;
};

std::wstring TextOf(HWND Window) {
  std::wstring Text(std::size_t(GetWindowTextLengthW(Window)) + 1, L'\0');
  Text.resize(std::size_t(GetWindowTextW(Window, Text.data(), int(Text.size()))));
  return Text;
}

std::wstring ClassOf(HWND Window) {
  wchar_t Name[32] = {};
  GetClassNameW(Window, Name, 32);
  return Name;
}

void CheckBox(HWND Box, UINT Dpi, Measured& Result) {
  ASSERT_TRUE(Box);
  EXPECT_EQ(WindowDpi(Box), Dpi) << "the session's DPI did not reach the box";
  LOGFONTW MessageFont{};
  ASSERT_TRUE(MessageFontForDpi(MessageFont, Dpi));
  RECT Outer{}, Client{};
  GetWindowRect(Box, &Outer);
  GetClientRect(Box, &Client);
  MONITORINFO Monitor{};
  Monitor.cbSize = sizeof Monitor;
  GetMonitorInfoW(MonitorFromWindow(Box, MONITOR_DEFAULTTONEAREST), &Monitor);
  RECT Visible{};
  IntersectRect(&Visible, &Outer, &Monitor.rcWork);
  EXPECT_TRUE(EqualRect(&Visible, &Outer)) << "the box leaves the work area";
  Result.ClientWidth = Client.right;

  for (HWND Control = GetWindow(Box, GW_CHILD); Control; Control = GetWindow(Control, GW_HWNDNEXT)) {
    const std::wstring Class = ClassOf(Control), Text = TextOf(Control);
    SCOPED_TRACE(testing::Message() << std::string(Class.begin(), Class.end()) << " " << Text.size());
    RECT Rect{};
    GetWindowRect(Control, &Rect);
    MapWindowPoints(nullptr, Box, reinterpret_cast<POINT*>(&Rect), 2);
    EXPECT_TRUE(Rect.left >= 0 && Rect.top >= 0 && Rect.right <= Client.right && Rect.bottom <= Client.bottom)
        << "outside the client area";
    const int Width = Rect.right - Rect.left, Height = Rect.bottom - Rect.top;

    const auto Font = reinterpret_cast<HFONT>(SendMessageW(Control, WM_GETFONT, 0, 0));
    LOGFONTW Used{};
    ASSERT_TRUE(Font && GetObjectW(Font, sizeof Used, &Used)) << "drawn in the system font";
    EXPECT_TRUE(Used.lfHeight == MessageFont.lfHeight && !wcscmp(Used.lfFaceName, MessageFont.lfFaceName));
    TWindowDC DC(Control);
    SelectObject(DC.get(), Font);
    TEXTMETRICW Metrics{};
    GetTextMetricsW(DC.get(), &Metrics);
    Result.LineHeight = Metrics.tmHeight;
    if (Class == L"Static") {
      // As the static draws it (SS_EDITCONTROL, SS_NOPREFIX).
      RECT Needed{0, 0, Width, 0};
      DrawTextW(DC.get(), Text.c_str(), -1, &Needed,
                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
      EXPECT_TRUE(Needed.right <= Width && Needed.bottom <= Height) << "the prompt is cut";
      Result.PromptHeight = Height;
    } else if (Class == L"Button") {
      SIZE Needed{};
      GetTextExtentPoint32W(DC.get(), Text.c_str(), int(Text.size()), &Needed);
      EXPECT_TRUE(Needed.cx < Width && Metrics.tmHeight < Height) << "the caption is cut";
    } else {
      RECT Shown{};
      SendMessageW(Control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Shown));
      EXPECT_GE(Shown.bottom - Shown.top, Metrics.tmHeight) << "the field shows no whole line";
    }
  }
}

Measured OpenBox(const std::string& Prompt, UINT Dpi) {
  Measured Result;
  const auto Box = TInputBox::Show("", Prompt, "", true, [](bool, SecretText) {});
  PumpMessages(200);
  CheckBox(Box ? Box->Handle : nullptr, Dpi, Result);
  return Result;
}

}  // namespace

TEST(InputBoxAtTheSessionDpi, EveryControlInsideAndEveryTextWhole) {
  wchar_t Setting[16] = {};
  GetEnvironmentVariableW(L"INPUTBOX_PROBE_DPI", Setting, 16);
  const UINT Dpi = wcstoul(Setting, nullptr, 10);
  ASSERT_NE(Dpi, 0u) << "started without INPUTBOX_PROBE_DPI";
  AppTitle = "Mount";
  TMinApplication App("Mount");

  std::string Long;
  for (int I = 0; I < 6; ++I) Long += "Data of the accounting department on the second floor ";
  const Measured Short = OpenBox("Default Password:", Dpi);
  const Measured Wide = OpenBox(Long + "Password:", Dpi);
  const Measured Unbroken = OpenBox("\\\\server\\" + std::string(150, 'x') + " Password:", Dpi);
  // A long prompt widens the box, up to a limit, and then wraps.
  EXPECT_GT(Wide.ClientWidth, Short.ClientWidth);
  EXPECT_GT(Wide.PromptHeight, 2 * Wide.LineHeight);
  EXPECT_GT(Unbroken.PromptHeight, Unbroken.LineHeight);
}
