#include "MinDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "MinApp.h"
#include "StrUtils.h"
#include "Text.h"
#include "UnitStartup.h"

namespace {

const wchar_t InputBoxClassName[] = L"InputBox";
// The static draws its text this way; the layout measures it the same way.
constexpr UINT PromptFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

int TextWidth(HDC DC, const std::wstring& Text) {
  SIZE Size{};
  GetTextExtentPoint32W(DC, Text.c_str(), static_cast<int>(Text.size()), &Size);
  return Size.cx;
}

}  // namespace

void TInputBox::CreateControls(const std::string& PromptUtf8, const std::optional<std::string>& FieldText, bool Masked,
                               const wchar_t* Ok, const wchar_t* Cancel) {
  PromptText = Utf8ToWide(PromptUtf8);
  OkText = Ok;
  CancelText = Cancel;
  Prompt = AddControl(L"STATIC", PromptText, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0);
  // Scrolls sideways so a text wider than the field can be typed whole;
  // masked for passwords.
  const DWORD EditStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | (Masked ? ES_PASSWORD : 0);
  if (FieldText) Field = AddControl(L"EDIT", Utf8ToWide(*FieldText), EditStyle, InputBoxEditId);
  // BS_NOTIFY: a button tells when it gets the focus, and so becomes the
  // default. Without a field, the answer that changes nothing is.
  const DWORD OkDefault = Field ? BS_DEFPUSHBUTTON : 0, CancelDefault = Field ? 0 : BS_DEFPUSHBUTTON;
  OkButton = AddControl(L"BUTTON", OkText, WS_TABSTOP | BS_NOTIFY | OkDefault, InputBoxOkId);
  CancelButton = AddControl(L"BUTTON", CancelText, WS_TABSTOP | BS_NOTIFY | CancelDefault, InputBoxCancelId);
  DefaultButton = Field ? OkButton : CancelButton;
}

void TInputBox::Layout() {
  const TFontDC DC(*this);
  // Dialog units: a quarter of the average letter width, an eighth of the
  // line height.
  const int LetterWidth = (TextWidth(DC.get(), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
  const auto X = [&](int Units) { return MulDiv(Units, LetterWidth, 4); };
  const auto Y = [&](int Units) { return MulDiv(Units, DC.Metrics().tmHeight, 8); };

  const int ButtonWidth = std::max({X(50), TextWidth(DC.get(), OkText) + X(8), TextWidth(DC.get(), CancelText) + X(8)});
  const int ButtonHeight = Y(14);
  // A long prompt widens the box up to a limit, then wraps.
  const RECT Work = WorkArea();
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
  SetClientSize(Width + 2 * Left, Top + ButtonHeight + Y(7));
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
      } else if (Code == BN_CLICKED && Id == InputBoxCancelId) {
        Answer(false);
      } else {
        break;
      }
      return 0;
    }
    case DM_GETDEFID:
      return MAKELRESULT(GetDlgCtrlID(DefaultButton), DC_HASDEFID);
    case WM_ACTIVATE:
      // Back from another window: the keys go where they went before.
      if (LOWORD(WParam) != WA_INACTIVE) SetFocus(FocusTarget());
      return 0;
    case WM_DESTROY:
      // The field's own buffer is freed with it: overwrite the text first.
      if (EditHandle) {
        const std::wstring Filler(std::size_t(GetWindowTextLengthW(EditHandle)), L'*');
        SetWindowTextW(EditHandle, Filler.c_str());
        SetWindowTextW(EditHandle, L"");
      }
      break;
  }
  return TMinBox::HandleMessage(Message, WParam, LParam);
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
  End(OnAnswer, Submitted, std::move(Text));
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
  std::unique_ptr<TInputBox> Box(new TInputBox);
  // Topmost: the password must not be typed into a window in front of it.
  if (!Box->CreateBox(InputBoxClassName, WS_EX_TOPMOST, Caption.empty() ? AppTitle : Caption)) return nullptr;
  Box->OnAnswer = std::move(OnAnswer);
  Box->CreateControls(Prompt, FieldText, Masked, OkText, CancelText);
  // The field's first notification tells the box its handle.
  Box->Present();
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
