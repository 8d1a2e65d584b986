#include "AboutBox.h"

#include <algorithm>
#include <utility>

#include "Text.h"

namespace {
constexpr wchar_t AboutBoxClassName[] = L"AboutBox";
}  // namespace

std::unique_ptr<TAboutBox> TAboutBox::Show(const std::string& Caption, const std::string& Text,
                                           std::function<void()> OnClosed) {
  std::unique_ptr<TAboutBox> Box(new TAboutBox);
  if (!Box->CreateBox(AboutBoxClassName, 0, Caption)) return nullptr;
  Box->OnClosed = std::move(OnClosed);
  // The field keeps Windows line ends.
  for (wchar_t C : Utf8ToWide(Text)) {
    if (C == L'\n') Box->Text += L'\r';
    Box->Text += C;
  }
  Box->TextField = Box->AddControl(L"EDIT", Box->Text, ES_MULTILINE | ES_READONLY, AboutTextId);
  Box->OkButton = Box->AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  Box->Present();
  return Box;
}

void TAboutBox::Layout() {
  const TFontDC DC(*this);
  const TEXTMETRICW& Metrics = DC.Metrics();
  // Paths may be long: the text wraps at most at half the work area.
  const RECT Work = WorkArea();
  RECT Area{0, 0, std::max(LONG(Metrics.tmAveCharWidth * 40), (Work.right - Work.left) / 2), 0};
  DrawTextW(DC.get(), Text.c_str(), -1, &Area, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);

  const int Margin = Metrics.tmHeight;
  const int ButtonWidth = Metrics.tmAveCharWidth * 12, ButtonHeight = Metrics.tmHeight * 7 / 4;
  // The field wraps a little earlier than DrawText: one more character each way.
  const int Width = Area.right + Metrics.tmAveCharWidth, Height = Area.bottom + Metrics.tmHeight;
  MoveWindow(TextField, Margin, Margin, Width, Height, TRUE);
  MoveWindow(OkButton, Margin + Width - ButtonWidth, 2 * Margin + Height, ButtonWidth, ButtonHeight, TRUE);
  SetClientSize(Width + 2 * Margin, Height + ButtonHeight + 3 * Margin);
}

LRESULT TAboutBox::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_COMMAND && LOWORD(WParam) == IDOK) {
    Cancel();
    return 0;
  }
  return TMinBox::HandleMessage(Message, WParam, LParam);
}
