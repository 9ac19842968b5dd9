// The program's icon in the notification area: added with a callback
// message, a tooltip and an icon; a right click shows the tray menu (its
// check marks from the window's command-update handlers, the first item
// bold), a double click sends the window the first command of a second menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace ui {

class Dialog;

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // `owner` receives the callback messages and the menu commands and gives
  // the menus their check marks. The tip keeps 63 bytes of its CP949 form.
  bool create(Dialog* owner, UINT callbackMessage, const std::string& tipText, HICON icon,
              UINT identifier);
  // The record a double click uses (window and menu id); the shell never sees it.
  bool setSecondRecord(Dialog* owner, UINT callbackMessage, const std::string& tipText, HICON icon,
                       UINT identifier);
  bool setIcon(int iconResourceId);
  bool setIconHandle(HICON icon);
  bool setTip(const std::string& tipText);
  bool remove();

  bool enabled() const { return enabled_; }
  std::string tip() const;
  UINT identifier() const { return record_.uID; }

  // The window's callback message: wParam the icon's identifier, lParam the
  // mouse message. 0 for another icon or a menu that cannot be loaded, else 1.
  LRESULT onNotification(WPARAM wParam, LPARAM lParam);

  // The tray menu as a right click shows it: the first popup of menu
  // resource `menuId`, check marks from the owner, item 0 the default.
  // The caller destroys the returned menu (the resource menu it came from).
  HMENU prepareMenu(UINT menuId, HMENU* popup) const;

 private:
  NOTIFYICONDATAW record_{};
  NOTIFYICONDATAW second_{};
  Dialog* owner_ = nullptr;
  Dialog* secondOwner_ = nullptr;
  bool enabled_ = false;
  bool hidden_ = false;
};

}  // namespace ui
