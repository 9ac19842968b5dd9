#include "ui/tray_icon.h"

#include <algorithm>

#include "ui/shell_texts.h"
#include "common/text.h"
#include "ui/dialog.h"

namespace ui {
namespace {

void setTipField(NOTIFYICONDATAW& record, const std::string& tip) {
  const std::wstring wide = text::widen(ui::cutTrayTip(tip));
  const size_t n = std::min(wide.size(), std::size(record.szTip) - 1);
  std::copy_n(wide.data(), n, record.szTip);
  record.szTip[n] = L'\0';
}

// Runs the owner's command-update handlers over a menu, depth first.
void updateItems(HMENU menu, const Dialog& owner) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      updateItems(sub, owner);
      continue;
    }
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;
    if (const auto checked = owner.commandChecked(static_cast<int>(id)))
      CheckMenuItem(menu, id, MF_BYCOMMAND | (*checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

}  // namespace

TrayIcon::~TrayIcon() { remove(); }

bool TrayIcon::create(Dialog* owner, UINT callbackMessage, const std::string& tipText, HICON icon,
                      UINT identifier) {
  enabled_ = false;
  if (!owner || !IsWindow(owner->window())) return false;
  owner_ = owner;
  record_ = {};
  record_.cbSize = sizeof record_;
  record_.hWnd = owner->window();
  record_.uID = identifier;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = callbackMessage;
  record_.hIcon = icon;
  setTipField(record_, tipText);
  enabled_ = Shell_NotifyIconW(NIM_ADD, &record_) != FALSE;
  return enabled_;
}

bool TrayIcon::setSecondRecord(Dialog* owner, UINT callbackMessage, const std::string& tipText,
                               HICON icon, UINT identifier) {
  secondOwner_ = owner;
  second_ = {};
  second_.cbSize = sizeof second_;
  second_.hWnd = owner ? owner->window() : nullptr;
  second_.uID = identifier;
  second_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  second_.uCallbackMessage = callbackMessage;
  second_.hIcon = icon;
  setTipField(second_, tipText);
  return true;
}

bool TrayIcon::setIcon(int iconResourceId) {
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResourceId),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
  return setIconHandle(icon);
}

bool TrayIcon::setIconHandle(HICON icon) {
  if (!enabled_) return false;
  record_.uFlags = NIF_ICON;
  record_.hIcon = icon;
  return Shell_NotifyIconW(NIM_MODIFY, &record_) != FALSE;
}

bool TrayIcon::setTip(const std::string& tipText) {
  setTipField(record_, tipText);
  setTipField(second_, tipText);
  if (!enabled_) return false;
  record_.uFlags = NIF_TIP;
  return Shell_NotifyIconW(NIM_MODIFY, &record_) != FALSE;
}

bool TrayIcon::remove() {
  if (!enabled_) return false;
  record_.uFlags = 0;
  const bool removed = Shell_NotifyIconW(NIM_DELETE, &record_) != FALSE;
  enabled_ = false;
  return removed;
}

std::string TrayIcon::tip() const { return text::narrow(record_.szTip); }

HMENU TrayIcon::prepareMenu(UINT menuId, HMENU* popup) const {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
  *popup = menu ? GetSubMenu(menu, 0) : nullptr;
  if (!*popup) {
    if (menu) DestroyMenu(menu);
    return nullptr;
  }
  if (owner_) updateItems(*popup, *owner_);
  SetMenuDefaultItem(*popup, 0, TRUE);
  return menu;
}

LRESULT TrayIcon::onNotification(WPARAM wParam, LPARAM lParam) {
  if (wParam != record_.uID) return 0;
  const UINT mouse = LOWORD(lParam);
  if (mouse == WM_RBUTTONUP) {
    HMENU popup = nullptr;
    HMENU menu = prepareMenu(record_.uID, &popup);
    if (!menu) return 0;
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(record_.hWnd);
    TrackPopupMenu(popup, 0, at.x, at.y, 0, record_.hWnd, nullptr);
    PostMessageW(record_.hWnd, WM_USER, 0, 0);
    DestroyMenu(menu);
    return 1;
  }
  if (mouse == WM_LBUTTONDBLCLK) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(second_.uID));
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!popup) {
      if (menu) DestroyMenu(menu);
      return 0;
    }
    const UINT first = GetMenuItemID(popup, 0);
    DestroyMenu(menu);
    SetForegroundWindow(second_.hWnd);
    SendMessageW(second_.hWnd, WM_COMMAND, first, 0);
    return 1;
  }
  return 1;
}

}  // namespace ui
