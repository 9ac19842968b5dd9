#include "support/remote_window.h"

#include <commctrl.h>

#include "common/text.h"

namespace testing_support {
namespace {

// A window of another process that stops answering fails the test instead
// of hanging it.
LRESULT sendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result)) return -1;
  return static_cast<LRESULT>(result);
}

}  // namespace

std::vector<std::vector<std::string>> remoteListRows(HWND list, int columns) {
  std::vector<std::vector<std::string>> rows;
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return rows;
  constexpr size_t kChars = 1024;
  const size_t size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (remote) {
    const int count = static_cast<int>(sendWithin(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      std::vector<std::string> texts;
      for (int column = 0; column < columns; ++column) {
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = kChars;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        sendWithin(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
        wchar_t buffer[kChars] = L"";
        ReadProcessMemory(process, remote + sizeof(LVITEMW), buffer, sizeof buffer - sizeof(wchar_t), nullptr);
        texts.push_back(text::narrow(buffer));
      }
      rows.push_back(std::move(texts));
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return rows;
}

HWND findOwnedWindow(HWND owner, const wchar_t* className) {
  struct Search {
    HWND owner;
    const wchar_t* className;
    HWND found = nullptr;
  } search{owner, className};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[64] = L"";
        GetClassNameW(w, name, 64);
        if (lstrcmpW(name, s->className) == 0 && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == s->owner) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string remoteText(HWND window) {
  wchar_t buffer[2048] = L"";
  sendWithin(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer));
  return text::narrow(buffer);
}

}  // namespace testing_support
