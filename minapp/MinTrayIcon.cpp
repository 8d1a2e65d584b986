#include "MinTrayIcon.h"

#include <algorithm>

#include "Text.h"

std::vector<TMinTrayIcon*> TrayIcons;

namespace {

// The shell's identifier is 32 bits wide, so icons carry a number of their
// own instead of their address.
UINT NextTrayIconId = 1;

// Copies Text as UTF-16 into a fixed field, cut to MaxLength units, without
// leaving half of a surrogate pair at the end.
template <size_t N>
void CopyCut(wchar_t (&Field)[N], const std::string& Text, size_t MaxLength) {
  static_assert(N > 0);
  std::wstring Wide = Utf8ToWide(Text);
  size_t Length = std::min({Wide.size(), MaxLength, N - 1});
  if (Length > 0 && Length < Wide.size() && IS_HIGH_SURROGATE(Wide[Length - 1])) --Length;
  std::copy_n(Wide.begin(), Length, Field);
  Field[Length] = L'\0';
}

DWORD BalloonIconFlags(TBalloonKind Kind) {
  switch (Kind) {
    case TBalloonKind::Info:
      return NIIF_INFO;
    case TBalloonKind::Warning:
      return NIIF_WARNING;
    case TBalloonKind::Error:
      return NIIF_ERROR;
    default:
      return NIIF_NONE;
  }
}

NOTIFYICONDATAW EmptyRecord(UINT Id) {
  NOTIFYICONDATAW Record{};
  Record.cbSize = sizeof(Record);
  Record.hWnd = Application ? Application->Handle : nullptr;
  Record.uID = Id;
  return Record;
}

}  // namespace

TMinTrayIcon::TMinTrayIcon(HICON Icon, const std::string& Hint)
    : Id(NextTrayIconId++),
      Hint(Hint),
      Icon(Icon),
      AddRetry(
          false, [this] { AddToTray(); }, AddRetryInterval) {
  TaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
  TrayIcons.push_back(this);
}

TMinTrayIcon::~TMinTrayIcon() {
  TrayIcons.erase(std::find(TrayIcons.begin(), TrayIcons.end(), this));
  SetShown(false);
}

void TMinTrayIcon::SetShown(bool Value) {
  // A picture is needed to add the icon, not to remove it: an icon whose
  // picture was taken away must not stay behind in the notification area.
  if (Shown == Value || (Value && !Icon) || !Application || !Application->Handle) return;
  Shown = Value;
  if (Value) {
    AddToTray();
  } else {
    AddRetry.SetEnabled(false);
    if (InTray) ShellCall(NIM_DELETE);
    InTray = false;
  }
}

void TMinTrayIcon::AddToTray() {
  InTray = ShellCall(NIM_ADD);
  AddRetry.SetEnabled(!InTray);
  if (!InTray) return;
  // Version 4: the callback carries the event and this Id in lParam and the
  // anchor in wParam, and the shell sends select and context-menu notices
  // for the mouse and the keyboard alike.
  NOTIFYICONDATAW Record = EmptyRecord(Id);
  Record.uVersion = NOTIFYICON_VERSION_4;
  Shell_NotifyIconW(NIM_SETVERSION, &Record);
}

void TMinTrayIcon::SetIcon(HICON NewIcon) {
  if (NewIcon == Icon) return;
  Icon = NewIcon;
  if (InTray)
    ShellCall(NIM_MODIFY);
  else if (Shown && Icon)
    AddToTray();
}

void TMinTrayIcon::SetHint(const std::string& Value) {
  if (Value == Hint) return;
  Hint = Value;
  if (InTray) ShellCall(NIM_MODIFY);
}

bool TMinTrayIcon::ShowBalloon(const std::string& Title, const std::string& Text, UINT Timeout, TBalloonKind Kind) {
  NOTIFYICONDATAW Record = BalloonRecord(Title, Text, Timeout, Kind);
  return Shell_NotifyIconW(NIM_MODIFY, &Record);
}

NOTIFYICONDATAW TMinTrayIcon::ShellRecord(DWORD Action) const {
  NOTIFYICONDATAW Record = EmptyRecord(Id);
  if (Action != NIM_DELETE) {
    // Version 4 shows the tip only when asked to.
    Record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    Record.uCallbackMessage = WM_MINTRAYICON;
    Record.hIcon = Icon;
    CopyCut(Record.szTip, Hint, TrayTipMaxLength);
  }
  return Record;
}

NOTIFYICONDATAW TMinTrayIcon::BalloonRecord(const std::string& Title, const std::string& Text, UINT Timeout,
                                            TBalloonKind Kind) const {
  NOTIFYICONDATAW Record = EmptyRecord(Id);
  Record.uFlags = NIF_INFO;
  CopyCut(Record.szInfo, Text, BalloonTextMaxLength);
  Record.uTimeout = Timeout;
  CopyCut(Record.szInfoTitle, Title, BalloonTitleMaxLength);
  Record.dwInfoFlags = BalloonIconFlags(Kind);
  return Record;
}

bool TMinTrayIcon::ShellCall(DWORD Action) const {
  NOTIFYICONDATAW Record = ShellRecord(Action);
  return Shell_NotifyIconW(Action, &Record);
}

void TMinTrayIcon::Notify(WORD Event, POINT Anchor) {
  if (OnMouse) OnMouse(Event, Anchor);
}

TMinTrayIcon* TMinTrayIcon::FindById(UINT Id) {
  auto Found = std::find_if(TrayIcons.begin(), TrayIcons.end(), [Id](TMinTrayIcon* Icon) { return Icon->Id == Id; });
  return Found != TrayIcons.end() ? *Found : nullptr;
}

void TMinTrayIcon::RestoreAll() {
  for (TMinTrayIcon* Icon : TrayIcons)
    if (Icon->Shown) Icon->AddToTray();
}
