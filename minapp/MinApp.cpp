#include "MinApp.h"

#include <algorithm>

#include "MinMenu.h"
#include "MinTrayIcon.h"

TMinApplication* Application = nullptr;
int ModalLevel = 0;
bool InMenuLoop = false;
UINT TaskbarCreatedMessage = 0;

TMinObject::TMinObject() {
  if (Application) Application->RegisterObject(this);
}

TMinObject::~TMinObject() {
  if (Application) Application->UnregisterObject(this);
}

namespace {

LRESULT HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  // An input box is open: the hidden window answers nothing but the menu
  // clean-up notice, which must still free the menu handles.
  if (ModalLevel > 0 && Msg != WM_EXITMENULOOP) return 0;

  if (Msg == TaskbarCreatedMessage) {
    // Not for the hook: the icons must come back whatever it does.
    TMinTrayIcon::RestoreAll();
  } else if (Application->OnMessage) {
    if (LRESULT Result = Application->OnMessage(Window, Msg, WParam, LParam)) return Result;
  }

  switch (Msg) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_DRAWITEM: {
      auto* Record = reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
      if (Record->CtlType == ODT_MENU && Record->itemData)
        reinterpret_cast<const TMinMenuItem*>(Record->itemData)->Draw(*Record);
      break;
    }
    case WM_MEASUREITEM: {
      auto* Record = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
      if (Record->CtlType == ODT_MENU && Record->itemData)
        reinterpret_cast<const TMinMenuItem*>(Record->itemData)->Measure(Window, *Record);
      break;
    }
    case WM_MENUCOMMAND:
      DispatchMenuCommand(reinterpret_cast<HMENU>(LParam), WParam);
      break;
    case WM_ENTERMENULOOP:
      InMenuLoop = true;
      break;
    case WM_EXITMENULOOP:
      if (WParam == MenuCleanupNotice && LParam > 0) {
        InMenuLoop = false;
        EndMenuPopup(LParam);
        return 0;
      }
      break;
    case WM_MINTRAYICON:
      if (TMinTrayIcon* Icon = TMinTrayIcon::FindById(WParam)) Icon->MouseEvent(LParam);
      break;
  }
  return DefWindowProcW(Window, Msg, WParam, LParam);
}

LRESULT CALLBACK MinApplicationWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  // The window may outlive the application object for a moment.
  if (!Application) return DefWindowProcW(Window, Msg, WParam, LParam);
  return HandleMessage(Window, Msg, WParam, LParam);
}

}  // namespace

TMinApplication::TMinApplication(const std::string& Title, TMinMessageHook OnMessage)
    : OnMessage(std::move(OnMessage)), Title(Title) {
  Application = this;

  WNDCLASSEXW Class{};
  Class.cbSize = sizeof(Class);
  Class.style = CS_HREDRAW | CS_VREDRAW;
  Class.lpfnWndProc = MinApplicationWndProc;
  Class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  Class.lpszClassName = MinApplicationClassName;
  // A second registration in the same process fails harmlessly.
  RegisterClassExW(&Class);

  // A 1x1 tool window off screen: no taskbar button, never seen.
  Handle = CreateWindowExW(WS_EX_TOOLWINDOW, MinApplicationClassName, L"", WS_OVERLAPPEDWINDOW,
                           -100, -100, 1, 1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TMinApplication::~TMinApplication() {
  std::vector<TMinRegisteredObject> Registered;
  {
    std::lock_guard Lock(ObjectsLock);
    Destroying = true;
    Registered = Objects;
  }
  // Their destructors' UnregisterObject calls do nothing now.
  for (TMinRegisteredObject& Entry : Registered) Entry.Free();
  Application = nullptr;
  // Normally gone through Terminate already; otherwise it must not reach
  // this object any more (the window procedure now falls back to default).
  if (Handle && IsWindow(Handle)) DestroyWindow(Handle);
}

void TMinApplication::Run() {
  if (!Handle) return;
  ShowWindow(Handle, SW_SHOWNORMAL);
  MSG Msg;
  // -1 (an error) is treated like a message.
  while (GetMessageW(&Msg, nullptr, 0, 0)) {
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
}

void TMinApplication::Terminate() { PostMessageW(Handle, WM_CLOSE, 0, 0); }

void TMinApplication::AddObject(TMinRegisteredObject Entry) {
  std::lock_guard Lock(ObjectsLock);
  Objects.push_back(std::move(Entry));
}

void TMinApplication::UnregisterObject(const void* Object) {
  std::lock_guard Lock(ObjectsLock);
  if (Destroying) return;
  auto Found = std::find_if(Objects.begin(), Objects.end(),
                            [Object](const TMinRegisteredObject& Entry) { return Entry.Object == Object; });
  if (Found != Objects.end()) Objects.erase(Found);
}

std::vector<const void*> TMinApplication::RegisteredObjects() const {
  std::lock_guard Lock(ObjectsLock);
  std::vector<const void*> Result;
  for (const TMinRegisteredObject& Entry : Objects) Result.push_back(Entry.Object);
  return Result;
}
