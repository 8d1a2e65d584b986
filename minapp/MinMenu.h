#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MinApp.h"

// What choosing an item does; it captures what it acts on.
using TMinMenuItemEvent = std::function<void()>;

// One entry of a menu tree. Its children become a system popup menu only
// while the menu is shown; an item with children is a sub-menu, an item
// captioned "-" without children a separator. Owned by its parent.
class TMinMenuItem {
 public:
  TMinMenuItem() = default;
  // Menu handles are left alone.
  virtual ~TMinMenuItem() = default;
  TMinMenuItem(const TMinMenuItem&) = delete;
  TMinMenuItem& operator=(const TMinMenuItem&) = delete;

  std::string Caption;
  bool Checked = false;
  // False: shown greyed, and choosing it does nothing.
  bool Enabled = true;
  std::vector<std::unique_ptr<TMinMenuItem>> Items;
  // The popup menu holding the children, while the menu is shown.
  HMENU Handle = nullptr;
  TMinMenuItemEvent OnClick;

  // Appends a new child (unchecked, without children) and returns it; the
  // item keeps it.
  TMinMenuItem* Add(const std::string& Caption, TMinMenuItemEvent OnClick = {});
  TMinMenuItem* AddSeparator();
  // Frees every child.
  void Clear();

  // Fresh empty popup menu for the children (earlier handles of the subtree
  // are destroyed first); it reports choices by position.
  HMENU CreateHandle();
  // Destroys the handles of this subtree.
  void DestroyHandle();
  // Appends the children to Handle, sub-menus recursively.
  void Build();
};

// A menu tree; Root's children are its entries.
class TMinMenu {
 public:
  TMinMenu();
  virtual ~TMinMenu();
  TMinMenu(const TMinMenu&) = delete;
  TMinMenu& operator=(const TMinMenu&) = delete;

  const std::unique_ptr<TMinMenuItem> Root;
};

class TMinPopupMenu : public TMinMenu {
 public:
  // Called each time before the menu is built and shown; it may change the
  // whole tree.
  std::function<void()> OnPopup;
  // Called once the menu has closed and its choice, if any, was handled.
  std::function<void()> OnClosed;

  // Shown, until OnClosed: the tree must not change under the menu.
  bool Open() const { return IsOpen; }

  // Shows the menu centred on X with its top at Y (screen coordinates) and
  // returns when it has closed. A choice reaches its item's OnClick from the
  // message loop; the menu handles go when the posted clean-up notice is
  // handled, also when OnPopup throws (the exception then propagates).
  void Popup(int X, int Y);

 private:
  friend void EndMenuPopup(LPARAM Notice);
  bool IsOpen = false;
};

// Called by the hidden window for its messages about menus.
void DispatchMenuCommand(HMENU Menu, WPARAM Position);
void EndMenuPopup(LPARAM Notice);
