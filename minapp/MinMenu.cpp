#include "MinMenu.h"

#include <algorithm>
#include "Text.h"

#include "Scoped.h"

namespace {

// The live menus: the posted clean-up notice names a menu, which must not be
// touched if it was freed in the meantime.
std::vector<TMinMenu*> LiveMenus;

constexpr int OwnerDrawnHeight = 22;
constexpr int ImageSize = 16;
constexpr int ImageLeft = 3;
constexpr int TextIndent = 25;

}  // namespace

UINT TMinImageList::DrawStyle() const {
  UINT Style = ILD_NORMAL;
  if (Blend25) Style |= ILD_BLEND25;
  if (Blend50) Style |= ILD_BLEND50;
  if (Transparent)
    Style |= ILD_TRANSPARENT;
  else if (Mask)
    Style |= ILD_MASK;
  return Style;
}

TMinMenuItem* TMinMenuItem::Add(const std::string& Caption, TMinMenuItemEvent OnClick, const TMinImageList* ImageList,
                                int ImageIndex, int Tag) {
  auto Child = std::make_unique<TMinMenuItem>();
  Child->Caption = Caption;
  Child->OnClick = std::move(OnClick);
  Child->ImageList = ImageList;
  Child->ImageIndex = ImageIndex;
  Child->Tag = Tag;
  Child->Parent = this;
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
      if (Child->ImageList)
        AppendMenuW(Handle, MF_POPUP | MF_OWNERDRAW, reinterpret_cast<UINT_PTR>(Sub),
                    reinterpret_cast<LPCWSTR>(Child.get()));
      else
        AppendMenuW(Handle, MF_POPUP, reinterpret_cast<UINT_PTR>(Sub), Utf8ToWide(Child->Caption).c_str());
      Child->Build();
    } else if (Child->Caption == "-") {
      AppendMenuW(Handle, MF_SEPARATOR, 0, nullptr);
    } else if (Child->ImageList && Child->ImageIndex != -1) {
      AppendMenuW(Handle, MF_OWNERDRAW | Greyed, 0, reinterpret_cast<LPCWSTR>(Child.get()));
    } else {
      AppendMenuW(Handle, MF_STRING | Greyed, 0, Utf8ToWide(Child->Caption).c_str());
      if (Child->Checked) CheckMenuItem(Handle, Position, MF_BYPOSITION | MF_CHECKED);
    }
    ++Position;
  }
}

void TMinMenuItem::Measure(HWND Window, MEASUREITEMSTRUCT& Record) const {
  std::wstring Text = Utf8ToWide(Caption);
  SIZE Extent{};
  const TWindowDC DC(Window);
  GetTextExtentPoint32W(DC.get(), Text.c_str(), static_cast<int>(Text.size()), &Extent);
  Record.itemWidth = Extent.cx;
  Record.itemHeight = OwnerDrawnHeight;
}

void TMinMenuItem::Draw(const DRAWITEMSTRUCT& Record) const {
  HDC DC = Record.hDC;
  RECT Rect = Record.rcItem;
  if (Record.itemState & ODS_SELECTED) {
    FillRect(DC, &Rect, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(DC, TRANSPARENT);
    SetBkColor(DC, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    FillRect(DC, &Rect, GetSysColorBrush(COLOR_MENU));
    SetTextColor(DC, GetSysColor(COLOR_MENUTEXT));
  }
  if (Record.itemState & ODS_GRAYED) {
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
  }
  // Index 0 is an image like any other.
  if (ImageList && ImageList->Handle && ImageIndex >= 0)
    ImageList_Draw(ImageList->Handle, ImageIndex, DC, Rect.left + ImageLeft, (Rect.top + Rect.bottom - ImageSize) / 2,
                   ImageList->DrawStyle());
  Rect.left += TextIndent;
  SetBkMode(DC, TRANSPARENT);
  DrawTextW(DC, Utf8ToWide(Caption).c_str(), -1, &Rect, DT_SINGLELINE | DT_VCENTER);
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
  if (OnPopup) OnPopup(this);
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
  TMinMenuItem* Chosen = Owner->Item(static_cast<int>(Position));
  // A copy: the handler may rebuild the menu and so free its own item.
  if (TMinMenuItemEvent OnClick = Chosen->OnClick) OnClick(Chosen);
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
