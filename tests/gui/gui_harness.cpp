#include "gui/gui_harness.h"

#include "common/text.h"
#include "ui/dialog.h"

namespace gui {

void pump(DWORD ms) {
  pumpUntil([] { return false; }, ms);
}

bool pumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD started = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (ui::Dialog::preTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - started >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

HWND findThreadWindow(DWORD thread, const wchar_t* className, HWND except) {
  struct Search {
    const wchar_t* className;
    HWND except;
    HWND found = nullptr;
  } search{className, except};
  EnumThreadWindows(
      thread,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[64] = L"";
        GetClassNameW(w, name, 64);
        if (w != s->except && IsWindowVisible(w) && lstrcmpW(name, s->className) == 0) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string windowText(HWND window) {
  wchar_t buffer[1024] = L"";
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                      nullptr);
  return text::narrow(buffer);
}

std::string controlText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

bool whileShown(HWND target, UINT message, WPARAM wParam, LPARAM lParam,
                const std::function<HWND()>& find, const std::function<void(HWND)>& handle) {
  std::atomic<bool> done{false}, found{false};
  std::thread helper([&] {
    for (int i = 0; i < 1000 && !found; ++i) {
      if (HWND w = find()) {
        Sleep(100);  // let it paint
        found = true;
        handle(w);
        break;
      }
      Sleep(10);
    }
    done = true;
  });
  PostMessageW(target, message, wParam, lParam);
  pumpUntil([&] { return done.load(); }, 15000);
  helper.join();
  pump(50);
  return found;
}

bool answerMessageBox(HWND main, UINT message, WPARAM wParam, LPARAM lParam, MessageBoxSeen* seen) {
  const DWORD thread = GetWindowThreadProcessId(main, nullptr);
  return whileShown(
      main, message, wParam, lParam, [&] { return findThreadWindow(thread, L"#32770", main); },
      [&](HWND box) {
        seen->text = controlText(box, 0xFFFF);
        seen->owner = GetWindow(box, GW_OWNER);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      });
}

}  // namespace gui
