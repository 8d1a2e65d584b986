#include "MinDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "MinApp.h"
#include "MinDpi.h"
#include "MinWindow.h"
#include "Scoped.h"
#include "StrUtils.h"
#include "Text.h"
#include "UnitStartup.h"

namespace {

const wchar_t InputBoxClassName[] = L"InputBox";
// The static draws its text this way; the layout measures it the same way.
constexpr UINT PromptFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

RECT WorkAreaOf(HMONITOR Monitor) {
  MONITORINFO Info{};
  Info.cbSize = sizeof Info;
  GetMonitorInfoW(Monitor, &Info);
  return Info.rcWork;
}

int TextWidth(HDC DC, const std::wstring& Text) {
  SIZE Size{};
  GetTextExtentPoint32W(DC, Text.c_str(), static_cast<int>(Text.size()), &Size);
  return Size.cx;
}

HWND CreateChild(HWND Parent, const wchar_t* ClassName, const std::wstring& Text, DWORD ExtraStyle, int Id) {
  return CreateWindowExW(0, ClassName, Text.c_str(), WS_CHILD | WS_VISIBLE | ExtraStyle, 0, 0, 0, 0, Parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void TInputBox::CreateControls(const std::string& PromptUtf8, const std::optional<std::string>& FieldText, bool Masked,
                               const wchar_t* Ok, const wchar_t* Cancel) {
  PromptText = Utf8ToWide(PromptUtf8);
  OkText = Ok;
  CancelText = Cancel;
  Prompt = CreateChild(Handle, L"STATIC", PromptText, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0);
  // Scrolls sideways so a text wider than the field can be typed whole;
  // masked for passwords.
  const DWORD EditStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | (Masked ? ES_PASSWORD : 0);
  if (FieldText) Field = CreateChild(Handle, L"EDIT", Utf8ToWide(*FieldText), EditStyle, InputBoxEditId);
  // BS_NOTIFY: a button tells when it gets the focus, and so becomes the
  // default. Without a field, the answer that changes nothing is.
  const DWORD OkDefault = Field ? BS_DEFPUSHBUTTON : 0, CancelDefault = Field ? 0 : BS_DEFPUSHBUTTON;
  OkButton = CreateChild(Handle, L"BUTTON", OkText, WS_TABSTOP | BS_NOTIFY | OkDefault, InputBoxOkId);
  CancelButton = CreateChild(Handle, L"BUTTON", CancelText, WS_TABSTOP | BS_NOTIFY | CancelDefault, InputBoxCancelId);
  DefaultButton = Field ? OkButton : CancelButton;
}

void TInputBox::Layout(UINT Dpi) {
  LOGFONTW FontSpec{};
  if (!MessageFontForDpi(FontSpec, Dpi)) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof FontSpec, &FontSpec);
  TFontHandle NewFont(CreateFontIndirectW(&FontSpec));
  for (HWND Control : {Prompt, Field, OkButton, CancelButton})
    if (Control) SendMessageW(Control, WM_SETFONT, reinterpret_cast<WPARAM>(NewFont.get()), FALSE);
  Font = std::move(NewFont);

  TWindowDC DC(Handle);
  const HGDIOBJ OldFont = SelectObject(DC.get(), Font.get());
  ScopeExit Deselect([&] { SelectObject(DC.get(), OldFont); });
  TEXTMETRICW Metrics{};
  GetTextMetricsW(DC.get(), &Metrics);
  // Dialog units: a quarter of the average letter width, an eighth of the
  // line height.
  const int LetterWidth = (TextWidth(DC.get(), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
  const auto X = [&](int Units) { return MulDiv(Units, LetterWidth, 4); };
  const auto Y = [&](int Units) { return MulDiv(Units, Metrics.tmHeight, 8); };

  const int ButtonWidth = std::max({X(50), TextWidth(DC.get(), OkText) + X(8), TextWidth(DC.get(), CancelText) + X(8)});
  const int ButtonHeight = Y(14);
  // A long prompt widens the box up to a limit, then wraps.
  const RECT Work = WorkAreaOf(MonitorFromWindow(Handle, MONITOR_DEFAULTTONEAREST));
  const int MinWidth = std::max(X(180), 2 * ButtonWidth + X(4));
  const int MaxWidth = std::max(MinWidth, std::min(X(300), int(Work.right - Work.left) * 3 / 4));
  RECT Line{};
  DrawTextW(DC.get(), PromptText.c_str(), -1, &Line, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
  RECT Text{0, 0, std::clamp(int(Line.right), MinWidth, MaxWidth), 0};
  DrawTextW(DC.get(), PromptText.c_str(), -1, &Text, DT_CALCRECT | PromptFormat);
  const int Width = std::max(int(Text.right), MinWidth);

  const int Left = X(7);
  int Top = Y(7);
  MoveWindow(Prompt, Left, Top, Width, Text.bottom, TRUE);
  Top += Text.bottom + Y(4);
  if (Field) {
    MoveWindow(Field, Left, Top, Width, Y(14), TRUE);
    Top += Y(14) + Y(3);
  }
  Top += Y(4);
  MoveWindow(CancelButton, Left + Width - ButtonWidth, Top, ButtonWidth, ButtonHeight, TRUE);
  MoveWindow(OkButton, Left + Width - 2 * ButtonWidth - X(4), Top, ButtonWidth, ButtonHeight, TRUE);

  RECT Outer{}, Client{};
  GetWindowRect(Handle, &Outer);
  GetClientRect(Handle, &Client);
  const int FrameWidth = Outer.right - Outer.left - Client.right;
  const int FrameHeight = Outer.bottom - Outer.top - Client.bottom;
  SetWindowPos(Handle, nullptr, 0, 0, Width + 2 * Left + FrameWidth, Top + ButtonHeight + Y(7) + FrameHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TInputBox::FocusMoved(HWND Control) {
  LastFocus = Control;
  const HWND Button = Control == CancelButton ? CancelButton : OkButton;
  DefaultButton = Button;
  SendMessageW(OkButton, BM_SETSTYLE, Button == OkButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  SendMessageW(CancelButton, BM_SETSTYLE, Button == CancelButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

LRESULT TInputBox::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_COMMAND: {
      const WORD Id = LOWORD(WParam), Code = HIWORD(WParam);
      if (Id == InputBoxEditId) {
        EditHandle = reinterpret_cast<HWND>(LParam);
        if (Code == EN_SETFOCUS) FocusMoved(EditHandle);
      } else if (Code == BN_SETFOCUS) {
        FocusMoved(reinterpret_cast<HWND>(LParam));
      } else if (Code == BN_CLICKED && Id == InputBoxOkId) {
        // The field is known only after its first notification.
        if (EditHandle || !Field) Answer(true);
      } else if (Code == BN_CLICKED && (Id == InputBoxCancelId || Id == IDCANCEL)) {  // IDCANCEL: Escape
        Answer(false);
      }
      return 0;
    }
    case WM_CLOSE:
      Answer(false);
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(GetDlgCtrlID(DefaultButton), DC_HASDEFID);
    case WM_ACTIVATE:
      // Back from another window: the keys go where they went before.
      if (LOWORD(WParam) != WA_INACTIVE) SetFocus(FirstFocus());
      return 0;
    case WM_DPICHANGED: {
      const RECT* Suggested = reinterpret_cast<const RECT*>(LParam);
      SetWindowPos(Handle, nullptr, Suggested->left, Suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(HIWORD(WParam));
      return 0;
    }
    case WM_DESTROY:
      // The field's own buffer is freed with it: overwrite the text first.
      if (EditHandle) {
        const std::wstring Filler(std::size_t(GetWindowTextLengthW(EditHandle)), L'*');
        SetWindowTextW(EditHandle, Filler.c_str());
        SetWindowTextW(EditHandle, L"");
      }
      if (Application) Application->RemoveDialogWindow(Handle);
      return 0;
  }
  return TMinWindow::HandleMessage(Message, WParam, LParam);
}

TInputBox::~TInputBox() { Destroy(); }

void TInputBox::Answer(bool Submitted) {
  if (!OnAnswer) return;
  // The text is usually a password: no copy of it is left behind.
  SecretText Text;
  if (Submitted && Field) {
    wchar_t Buffer[InputBoxMaxLength + 1];
    const int Length = GetWindowTextW(EditHandle, Buffer, InputBoxMaxLength + 1);
    Text = SecretText::FromWide(Buffer, std::size_t(Length));
    WipeBytes(Buffer, sizeof Buffer);
  }
  ShowWindow(Handle, SW_HIDE);
  // Once only; the owner may free the box in the handler.
  const TInputBoxAnswer Handler = std::exchange(OnAnswer, {});
  Handler(Submitted, std::move(Text));
}

void TInputBox::BringToFront() {
  ShowWindow(Handle, SW_SHOWNORMAL);
  // Windows may keep the foreground for the window the user is typing in;
  // then the taskbar button flashes until the box is activated.
  if (!SetForegroundWindow(Handle)) {
    FLASHWINFO Flash{sizeof Flash, Handle, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&Flash);
  }
  SetFocus(FirstFocus());
}

std::unique_ptr<TInputBox> TInputBox::Show(const std::string& Caption, const std::string& Prompt,
                                           const std::string& Default, bool Masked, TInputBoxAnswer OnAnswer) {
  return Open(Caption, Prompt, Default, Masked, L"OK", L"Cancel", std::move(OnAnswer));
}

std::unique_ptr<TInputBox> TInputBox::Confirm(const std::string& Caption, const std::string& Question,
                                              TInputBoxAnswer OnAnswer) {
  return Open(Caption, Question, std::nullopt, false, L"Yes", L"No", std::move(OnAnswer));
}

std::unique_ptr<TInputBox> TInputBox::Open(const std::string& Caption, const std::string& Prompt,
                                           const std::optional<std::string>& FieldText, bool Masked,
                                           const wchar_t* OkText, const wchar_t* CancelText, TInputBoxAnswer OnAnswer) {
  if (!RegisterMinWindowClass(InputBoxClassName, CS_HREDRAW | CS_VREDRAW, GetSysColorBrush(COLOR_BTNFACE)))
    return nullptr;

  // On the monitor the user works at, the one under the cursor: created there
  // first, so that it is laid out at that monitor's DPI.
  POINT Cursor{};
  GetCursorPos(&Cursor);
  const RECT Work = WorkAreaOf(MonitorFromPoint(Cursor, MONITOR_DEFAULTTOPRIMARY));
  const std::wstring Title = Utf8ToWide(Caption.empty() ? AppTitle : Caption);
  std::unique_ptr<TInputBox> Box(new TInputBox);
  // Topmost: the password must not be typed into a window in front of it.
  if (!Box->Create(InputBoxClassName, WS_EX_TOPMOST, Title, WS_CAPTION | WS_SYSMENU, (Work.left + Work.right) / 2,
                   (Work.top + Work.bottom) / 2, 0, 0))
    return nullptr;
  Box->OnAnswer = std::move(OnAnswer);
  Box->CreateControls(Prompt, FieldText, Masked, OkText, CancelText);
  Box->Layout(WindowDpi(Box->Handle));
  RECT Outer{};
  GetWindowRect(Box->Handle, &Outer);
  const int Width = Outer.right - Outer.left, Height = Outer.bottom - Outer.top;
  SetWindowPos(Box->Handle, nullptr, std::max(Work.left, (Work.left + Work.right - Width) / 2),
               std::max(Work.top, (Work.top + Work.bottom - Height) / 2), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  if (Application) Application->AddDialogWindow(Box->Handle);
  // The field's first notification tells the box its handle.
  Box->BringToFront();
  return Box;
}

namespace {

// The open file dialog, known through its hook.
HWND FileDialogWindow = nullptr;
bool FileDialogPutOff = false;

UINT_PTR CALLBACK FileDialogHook(HWND Child, UINT Message, WPARAM, LPARAM) {
  // The hook gets a child of the explorer-style dialog.
  if (Message == WM_INITDIALOG) FileDialogWindow = GetParent(Child);
  return 0;
}

}  // namespace

HWND OpenFileDialogWindow() { return FileDialogWindow; }

void CloseFileDialog() {
  if (!FileDialogWindow) return;
  FileDialogPutOff = true;
  PostMessageW(FileDialogWindow, WM_COMMAND, IDCANCEL, 0);
}

TFileDialogEnd FileDialog(bool Open, const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                          std::uint32_t FilterIndex, std::string& Path) {
  Path.clear();
  // "Description|Pattern|..." becomes the zero-separated list the dialog
  // expects, ended by two zeros.
  std::wstring Filters = Utf8ToWide(Filter);
  Filters.push_back(0);
  for (wchar_t& C : Filters)
    if (C == L'|') C = 0;
  const std::wstring WideTitle = Utf8ToWide(Title);
  const std::wstring WideDir = Utf8ToWide(InitialDir);
  constexpr DWORD FileBufferSize = 262;
  wchar_t FileBuffer[FileBufferSize] = {};

  OPENFILENAMEW Dialog{};
  Dialog.lStructSize = sizeof(Dialog);
  Dialog.hwndOwner = Application ? Application->Handle : nullptr;
  Dialog.hInstance = GetModuleHandleW(nullptr);
  Dialog.lpstrFilter = Filter.empty() ? nullptr : Filters.c_str();
  Dialog.nFilterIndex = FilterIndex;
  Dialog.lpstrFile = FileBuffer;
  Dialog.nMaxFile = FileBufferSize;
  Dialog.lpstrInitialDir = WideDir.c_str();
  Dialog.lpstrTitle = WideTitle.c_str();
  Dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
  Dialog.lpfnHook = FileDialogHook;
  FileDialogPutOff = false;
  const BOOL Chosen = Open ? GetOpenFileNameW(&Dialog) : GetSaveFileNameW(&Dialog);
  FileDialogWindow = nullptr;
  if (FileDialogPutOff) return TFileDialogEnd::NotNow;
  if (!Chosen) return TFileDialogEnd::Cancelled;
  Path = WideToUtf8(FileBuffer);
  return TFileDialogEnd::Chosen;
}
