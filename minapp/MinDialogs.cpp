#include "MinDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <string_view>

#include "MinApp.h"
#include "MinWindow.h"
#include "StrUtils.h"
#include "Text.h"
#include "UnitStartup.h"

namespace {

const wchar_t InputBoxClassName[] = L"InputBox";

// The window of one InputBox call and what it was told.
class TInputBox : public TMinWindow {
public:
  HWND EditHandle = nullptr;
  // Usually a password.
  SecretText EnteredText;
  bool OkPressed = false;

protected:
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;
};

LRESULT TInputBox::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_COMMAND:
      switch (LOWORD(WParam)) {
        case InputBoxEditId:
          EditHandle = reinterpret_cast<HWND>(LParam);
          break;
        case InputBoxOkId: {
          // The field is known only after its first notification.
          if (!EditHandle) return 0;
          // The text is usually a password: no copy of it is left behind.
          wchar_t Buffer[InputBoxMaxLength + 1];
          const int Length = GetWindowTextW(EditHandle, Buffer, InputBoxMaxLength + 1);
          EnteredText = SecretText::FromWide(Buffer, std::size_t(Length));
          WipeBytes(Buffer, sizeof Buffer);
          PostMessageW(Handle, WM_CLOSE, 0, 0);
          OkPressed = true;
          break;
        }
        case InputBoxCancelId:
          PostMessageW(Handle, WM_CLOSE, 0, 0);
          break;
      }
      break;
    case WM_DESTROY:
      // The field's own buffer is freed with it: overwrite the text first.
      if (EditHandle) {
        const std::wstring Filler(std::size_t(GetWindowTextLengthW(EditHandle)), L'*');
        SetWindowTextW(EditHandle, Filler.c_str());
        SetWindowTextW(EditHandle, L"");
      }
      // Ends the modal loop of InputBox.
      --ModalLevel;
      return 0;
  }
  return TMinWindow::HandleMessage(Message, WParam, LParam);
}

HWND CreateChild(HWND Parent, const wchar_t* ClassName, const std::wstring& Text,
                 DWORD ExtraStyle, int X, int Y, int Width, int Height, int Id) {
  return CreateWindowExW(0, ClassName, Text.c_str(), WS_CHILD | WS_VISIBLE | ExtraStyle, X, Y, Width, Height,
                         Parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

bool InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default,
              SecretText& Value, bool Masked) {
  Value.Clear();
  if (!RegisterMinWindowClass(InputBoxClassName, CS_HREDRAW | CS_VREDRAW, GetSysColorBrush(COLOR_BTNFACE)))
    return false;

  // A quarter of the screen wide, 150 pixels high, centred.
  RECT Desktop{};
  GetWindowRect(GetDesktopWindow(), &Desktop);
  const int DesktopWidth = Desktop.right - Desktop.left;
  const int DesktopHeight = Desktop.bottom - Desktop.top;
  const int Width = DesktopWidth / 4;
  const int Height = 150;
  const std::wstring Title = Utf8ToWide(Caption.empty() ? AppTitle : Caption);
  TInputBox Box;
  // Without a window nothing would ever end the modal loop.
  if (!Box.Create(InputBoxClassName, 0, Title, WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX, DesktopWidth / 2 - Width / 2,
                  DesktopHeight / 2 - Height / 2, Width, Height))
    return false;

  CreateChild(Box.Handle, L"STATIC", Utf8ToWide(Prompt), 0, 5, 5, Width - 10, 24, 0);
  // Scrolls sideways so a text wider than the field can be typed whole;
  // masked for passwords.
  const DWORD EditStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | (Masked ? ES_PASSWORD : 0);
  const HWND Edit = CreateChild(Box.Handle, L"EDIT", Utf8ToWide(Default), EditStyle, 5, 29, Width - 20, 24,
                                InputBoxEditId);
  const int ButtonsY = Height - 70;
  CreateChild(Box.Handle, L"BUTTON", L"Ok", WS_TABSTOP, Width / 2 - 75, ButtonsY, 75, 24, InputBoxOkId);
  CreateChild(Box.Handle, L"BUTTON", L"Cancel", WS_TABSTOP, Width / 2 + 25, ButtonsY, 75, 24, InputBoxCancelId);

  ShowWindow(Box.Handle, SW_SHOWNORMAL);
  // The field's first notification tells the box its handle.
  SetFocus(Edit);

  const int OuterLevel = ModalLevel;
  ++ModalLevel;
  while (ModalLevel > OuterLevel) {
    MSG Message;
    if (!GetMessageW(&Message, nullptr, 0, 0)) {
      // A quit request ends the box as a Cancel and is passed on to the
      // outer loop, so the application is neither left mute nor kept alive.
      Box.Destroy();
      PostQuitMessage(static_cast<int>(Message.wParam));
      break;
    }
    TranslateMessage(&Message);
    DispatchMessageW(&Message);
  }
  if (!Box.OkPressed) return false;
  Value = std::move(Box.EnteredText);
  return true;
}

void CloseQuestionWindows() {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND Window, LPARAM) -> BOOL {
        wchar_t Class[16] = {};
        GetClassNameW(Window, Class, 16);
        if (std::wstring_view(Class) == InputBoxClassName)
          PostMessageW(Window, WM_CLOSE, 0, 0);
        // The file dialog is the dialog owned by the application's window;
        // message boxes have no owner.
        else if (std::wstring_view(Class) == L"#32770" && Application &&
                 GetWindow(Window, GW_OWNER) == Application->Handle)
          PostMessageW(Window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
      },
      0);
}

bool FileDialog(bool Open, const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                std::uint32_t FilterIndex, std::vector<std::string>& Files) {
  Files.clear();
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
  const BOOL Chosen = Open ? GetOpenFileNameW(&Dialog) : GetSaveFileNameW(&Dialog);
  if (!Chosen) return false;
  Files.push_back(WideToUtf8(FileBuffer));
  return true;
}
