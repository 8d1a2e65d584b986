#include "MinMenu.h"

#include <algorithm>
#include "Text.h"

#include "Scoped.h"

namespace {

// The live menus: the posted clean-up notice names a menu, which must not be
// touched if it was freed in the meantime.
std::vector<TMinMenu*> LiveMenus;

}  // namespace

TMinMenuItem* TMinMenuItem::Add(const std::string& Caption, TMinMenuItemEvent OnClick) {
  auto Child = std::make_unique<TMinMenuItem>();
  Child->Caption = Caption;
  Child->OnClick = std::move(OnClick);
  return Items.emplace_back(std::move(Child)).get();
}

TMinMenuItem* TMinMenuItem::AddSeparator() { return Add("-"); }

void TMinMenuItem::Clear() { Items.clear(); }

HMENU TMinMenuItem::CreateHandle() {
  DestroyHandle();
  Handle = CreatePopupMenu();
  // Choices come as WM_MENUCOMMAND with the position; the menu data leads
  // back to this item.
  MENUINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = MIM_APPLYTOSUBMENUS | MIM_MENUDATA | MIM_STYLE;
  GetMenuInfo(Handle, &Info);
  Info.dwStyle |= MNS_NOTIFYBYPOS;
  Info.dwMenuData = reinterpret_cast<ULONG_PTR>(this);
  SetMenuInfo(Handle, &Info);
  return Handle;
}

void TMinMenuItem::DestroyHandle() {
  if (!Handle) return;
  for (const auto& Child : Items) Child->DestroyHandle();
  DestroyMenu(Handle);
  Handle = nullptr;
}

void TMinMenuItem::Build() {
  // Positions count separators, as the system menu does.
  UINT Position = 0;
  for (const auto& Child : Items) {
    const UINT Greyed = Child->Enabled ? 0 : MF_GRAYED;
    if (!Child->Items.empty()) {
      HMENU Sub = Child->CreateHandle();
      AppendMenuW(Handle, MF_POPUP, reinterpret_cast<UINT_PTR>(Sub), Utf8ToWide(Child->Caption).c_str());
      Child->Build();
    } else if (Child->Caption == "-") {
      AppendMenuW(Handle, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(Handle, MF_STRING | Greyed, 0, Utf8ToWide(Child->Caption).c_str());
      if (Child->Checked) CheckMenuItem(Handle, Position, MF_BYPOSITION | MF_CHECKED);
    }
    ++Position;
  }
}

TMinMenu::TMinMenu() : Root(std::make_unique<TMinMenuItem>()) { LiveMenus.push_back(this); }

TMinMenu::~TMinMenu() {
  LiveMenus.erase(std::find(LiveMenus.begin(), LiveMenus.end(), this));
  // Freed before its clean-up notice came: the handles go now.
  Root->DestroyHandle();
}

void TMinPopupMenu::Popup(int X, int Y) {
  HWND Window = Application ? Application->Handle : nullptr;
  // Posted whatever happens below, after the system's WM_MENUCOMMAND, so the
  // choice is handled while its menu handle and items still exist.
  ScopeExit Notice([Window, this] {
    PostMessageW(Window, WM_EXITMENULOOP, MenuCleanupNotice, reinterpret_cast<LPARAM>(static_cast<TMinMenu*>(this)));
  });

  HMENU Menu = Root->CreateHandle();
  if (OnPopup) OnPopup();
  Root->Build();
  IsOpen = true;
  SetForegroundWindow(Window);
  TrackPopupMenuEx(Menu, TPM_CENTERALIGN | TPM_LEFTBUTTON, X, Y, Window, nullptr);
}

void DispatchMenuCommand(HMENU Menu, WPARAM Position) {
  MENUINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = MIM_APPLYTOSUBMENUS | MIM_MENUDATA | MIM_STYLE;
  if (!GetMenuInfo(Menu, &Info) || !Info.dwMenuData) return;
  auto* Owner = reinterpret_cast<TMinMenuItem*>(Info.dwMenuData);
  if (Position >= Owner->Items.size()) return;
  // A copy: the handler may rebuild the menu and so free its own item.
  if (TMinMenuItemEvent OnClick = Owner->Items[Position]->OnClick) OnClick();
}

void EndMenuPopup(LPARAM Notice) {
  auto* Menu = reinterpret_cast<TMinMenu*>(Notice);
  if (std::find(LiveMenus.begin(), LiveMenus.end(), Menu) == LiveMenus.end()) return;
  Menu->Root->DestroyHandle();
  // Only popup menus post the notice.
  auto* Popup = static_cast<TMinPopupMenu*>(Menu);
  Popup->IsOpen = false;
  if (std::function<void()> Closed = Popup->OnClosed) Closed();
}
