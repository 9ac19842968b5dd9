// tvwin: drives a window of ours from outside, for `make run` and scripts.
//
//   tvwin wait TITLE MS        exit 0 once a visible window TITLE exists (within MS)
//   tvwin command TITLE ID     post WM_COMMAND ID to window TITLE
//   tvwin gone TITLE MS        exit 0 once no window TITLE is left (within MS)
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

HWND find(const wchar_t* title) { return FindWindowW(nullptr, title); }

int waitUntil(const wchar_t* title, DWORD ms, bool present) {
  const DWORD started = GetTickCount();
  for (;;) {
    HWND w = find(title);
    if (present ? (w && IsWindowVisible(w)) : !w) return 0;
    if (GetTickCount() - started >= ms) return 1;
    Sleep(50);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fwprintf(stderr, L"usage: tvwin wait|gone TITLE MS | tvwin command TITLE ID\n");
    return 2;
  }
  const std::wstring verb = argv[1];
  const wchar_t* title = argv[2];
  const unsigned long number = std::wcstoul(argv[3], nullptr, 10);
  if (verb == L"wait") return waitUntil(title, number, true);
  if (verb == L"gone") return waitUntil(title, number, false);
  if (verb == L"command") {
    HWND w = find(title);
    if (!w) return 1;
    return PostMessageW(w, WM_COMMAND, number, 0) ? 0 : 1;
  }
  return 2;
}
