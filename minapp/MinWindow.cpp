#include "MinWindow.h"

#include "MinApp.h"

bool RegisterMinWindowClass(const wchar_t* Name, UINT Style, HBRUSH Background) {
  WNDCLASSEXW Class{};
  Class.cbSize = sizeof(Class);
  Class.style = Style;
  Class.lpfnWndProc = TMinWindow::WindowProc;
  Class.hInstance = GetModuleHandleW(nullptr);
  Class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  Class.hbrBackground = Background;
  Class.lpszClassName = Name;
  return RegisterClassExW(&Class) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The object goes before its window: the last messages, sent from here, get
// the default answer, as the derived part no longer exists.
TMinWindow::~TMinWindow() { Destroy(); }

bool TMinWindow::Create(const wchar_t* ClassName, DWORD ExStyle, const std::wstring& Title, DWORD Style, int X, int Y,
                        int Width, int Height, HWND Parent) {
  Handle = CreateWindowExW(ExStyle, ClassName, Title.c_str(), Style, X, Y, Width, Height, Parent, nullptr,
                           GetModuleHandleW(nullptr), this);
  return Handle != nullptr;
}

void TMinWindow::Destroy() {
  if (Alive) DestroyWindow(Handle);
}

LRESULT TMinWindow::HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return DefWindowProcW(Handle, Msg, WParam, LParam);
}

LRESULT CALLBACK TMinWindow::WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Self = reinterpret_cast<TMinWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (Msg == WM_NCCREATE) {
    Self = static_cast<TMinWindow*>(reinterpret_cast<const CREATESTRUCTW*>(LParam)->lpCreateParams);
    if (!Self) return DefWindowProcW(Window, Msg, WParam, LParam);  // not made by Create
    Self->Handle = Window;
    Self->Alive = true;
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
  } else if (Msg == WM_NCDESTROY && Self) {
    SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
    Self->Alive = false;
  }
  // Messages before WM_NCCREATE (e.g. WM_GETMINMAXINFO) have no object yet.
  if (!Self) return DefWindowProcW(Window, Msg, WParam, LParam);
  return HandleEvent([&] { return Self->HandleMessage(Msg, WParam, LParam); });
}
