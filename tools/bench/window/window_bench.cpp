// window_bench: times torvane.exe's main window from outside, the way a
// user's clicks reach it (window messages to the real process), for
// tools/bench/window/run. Every figure is wall-clock time on one
// QueryPerformanceCounter clock, printed as "SERIES RUN MILLISECONDS" lines;
// run 0 is a warm-up. Box texts print as "text SERIES RUN TEXT" (UTF-8).
//
//   window_bench start RUNS MINIMAL_EXE TORVANE_EXE [TORVANE_EXE_2]
//       per run: the minimal dialog, then torvane.exe (then the second
//       torvane.exe, "torvane2", e.g. one beside another database), each
//       started, timed until its window is shown, and closed.
//   window_bench quick RUNS TORVANE_EXE
//       per run: torvane.exe started; as soon as its window is shown, the scan
//       tab and button 1021 are posted; timed from process start to the scan's
//       closing message box; then a second quick scan, timed from its post.
//   window_bench full RUNS TORVANE_EXE TVSCAN_EXE CORPUS EMPTY OUT_FOLDER
//       one torvane.exe; box 1076 clicked; one quick scan first so both
//       tables are surely loaded; then per run, alternating: a full scan of
//       CORPUS from the window, tvscan --full --path CORPUS, the same two on
//       the empty folder EMPTY. The last tvscan outputs stay in OUT_FOLDER.
//
// Exit code 0 when every step ran, 2 on a failure (the message says which).
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kTorvaneTitle[] = L"Torvane AntiVirus 2008\u2122";
constexpr wchar_t kMinimalTitle[] = L"Torvane Bench Minimal Dialog";
constexpr wchar_t kMainKey[] = L"SOFTWARE\\Torvane_KOR";

// Commands and controls of torvane.exe's main window.
constexpr int kTabScan = 1012;
constexpr int kScanButton = 1021;
constexpr int kScanPathBox = 1076;
constexpr int kChooseQuickScan = 32771;
constexpr int kChooseFullScan = 32772;
constexpr int kTrayExit = 32776;
constexpr int kMessageBoxText = 65535;

// Polling: fine while a window starts (a start takes a few hundred
// milliseconds), coarser while a scan runs so the poll costs the scan nothing.
constexpr DWORD kStartPollMs = 1;
constexpr DWORD kScanPollMs = 10;
constexpr double kStartTimeoutMs = 60000;
constexpr double kScanTimeoutMs = 30 * 60000;
constexpr DWORD kExitTimeoutMs = 20000;
// After a closing message box goes, the scan's worker still posts its last
// label texts and ends; a scan posted before then would be refused.
constexpr DWORD kWorkerEndMs = 500;

[[noreturn]] void fail(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fputs("window_bench: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputs("\n", stderr);
  va_end(args);
  std::fflush(stdout);
  ExitProcess(2);
}

double nowMs() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

void printTime(const char* series, int run, double ms) {
  std::printf("%s %d %.1f\n", series, run, ms);
  std::fflush(stdout);
}

// One line: the box's line breaks become " / ".
void printText(const char* series, int run, const std::wstring& text) {
  std::string line;
  for (char c : utf8(text)) {
    if (c == '\r') continue;
    if (c == '\n') line += " / ";
    else line += c;
  }
  std::printf("text %s %d %s\n", series, run, line.c_str());
  std::fflush(stdout);
}

std::wstring folderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

class Child {
 public:
  // Starts PROGRAM in its own folder (its program folder); startedMs is taken
  // just before CreateProcessW. stdoutFile and stderrFile, when given, receive
  // the program's output.
  Child(const std::wstring& program, const std::wstring& arguments, const std::wstring& stdoutFile = {},
        const std::wstring& stderrFile = {}) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const bool redirect = !stdoutFile.empty();
    if (redirect) {
      out_ = createOutput(stdoutFile);
      err_ = createOutput(stderrFile);
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
      startup.hStdOutput = out_;
      startup.hStdError = err_;
    }
    const std::wstring folder = folderOf(program);
    startedMs_ = nowMs();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, redirect, 0, nullptr,
                        folder.c_str(), &startup, &process_))
      fail("cannot start %s (error %lu)", utf8(program).c_str(), GetLastError());
  }
  ~Child() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 3);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    if (out_) CloseHandle(out_);
    if (err_) CloseHandle(err_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  double startedMs() const { return startedMs_; }
  DWORD id() const { return process_.dwProcessId; }
  bool ended() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }
  // Waits for the end; the time of the end (ms on the common clock) and the exit code.
  double waitForEnd(DWORD timeoutMs, DWORD* exitCode) const {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) fail("a program did not end in time");
    const double at = nowMs();
    GetExitCodeProcess(process_.hProcess, exitCode);
    return at;
  }

 private:
  static HANDLE createOutput(const std::wstring& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) fail("cannot write %s", utf8(path).c_str());
    return file;
  }

  PROCESS_INFORMATION process_{};
  HANDLE out_ = nullptr;
  HANDLE err_ = nullptr;
  double startedMs_ = 0;
};

// The top-level, unowned window of process PID with the title: the main
// window, never one of its message boxes (which may carry the same title).
HWND mainWindowOf(DWORD pid, const wchar_t* title) {
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, nullptr, title)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && !GetWindow(w, GW_OWNER)) return w;
  }
  return nullptr;
}

struct Shown {
  HWND window;
  double visibleMs;  // since the process start: the window exists and is visible
  double readyMs;    // since the process start: then its thread answered a sent message
};

// Polls until the program's window is visible, then sends it WM_NULL: the
// answer means the window's thread runs its message loop (start-up done,
// the first paint next in line).
Shown waitShown(const Child& child, const wchar_t* title) {
  for (;;) {
    HWND w = mainWindowOf(child.id(), title);
    if (w && IsWindowVisible(w)) {
      const double visible = nowMs();
      DWORD_PTR answer;
      if (!SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer))
        fail("the window does not answer messages");
      return {w, visible - child.startedMs(), nowMs() - child.startedMs()};
    }
    if (child.ended()) fail("the program ended before it showed its window");
    if (nowMs() - child.startedMs() > kStartTimeoutMs) fail("no window after %.0f ms", kStartTimeoutMs);
    Sleep(kStartPollMs);
  }
}

void post(HWND window, int command) {
  if (!PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0)) fail("cannot post command %d", command);
}

void closeProgram(const Child& child, HWND window, int command) {
  post(window, command);
  DWORD code;
  child.waitForEnd(kExitTimeoutMs, &code);
}

// A visible dialog ("#32770") owned by the main window: a closing message box.
HWND waitMessageBox(const Child& child, HWND owner, double fromMs) {
  for (;;) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr)
      if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
    if (child.ended()) fail("torvane.exe ended during a scan");
    if (nowMs() - fromMs > kScanTimeoutMs) fail("no closing message after %.0f ms", kScanTimeoutMs);
    Sleep(kScanPollMs);
  }
}

std::wstring boxText(HWND box) {
  wchar_t text[2048] = L"";
  GetDlgItemTextW(box, kMessageBoxText, text, static_cast<int>(std::size(text)));
  return text;
}

// OK, as a click would; then the scan's worker gets the moment it needs to end.
void dismiss(HWND box) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  const double from = nowMs();
  while (IsWindow(box)) {
    if (nowMs() - from > 10000) fail("the message box did not close");
    Sleep(5);
  }
  Sleep(kWorkerEndMs);
}

struct ScanResult {
  double ms;  // from the post of 1021 to the visible closing message box
  std::wstring text;
};

ScanResult scanFromWindow(const Child& child, HWND window) {
  const double posted = nowMs();
  post(window, kScanButton);
  HWND box = waitMessageBox(child, window, posted);
  ScanResult result{nowMs() - posted, boxText(box)};
  dismiss(box);
  return result;
}

void setScanLocation(const std::wstring& folder) {
  const DWORD bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
  if (RegSetKeyValueW(HKEY_LOCAL_MACHINE, kMainKey, L"ScanLocation", REG_SZ, folder.c_str(), bytes) !=
      ERROR_SUCCESS)
    fail("cannot write ScanLocation");
}

int runs(const wchar_t* text) {
  const int n = _wtoi(text);
  if (n < 1 || n > 100) fail("RUNS must be 1-100");
  return n;
}

void start(int count, const std::wstring& minimal, const std::wstring& torvane, const std::wstring& torvane2) {
  struct Program {
    const char* name;
    const std::wstring& path;
    const wchar_t* title;
    int closeCommand;
  };
  std::vector<Program> programs = {{"minimal", minimal, kMinimalTitle, IDCANCEL},
                                   {"torvane", torvane, kTorvaneTitle, kTrayExit}};
  if (!torvane2.empty()) programs.push_back({"torvane2", torvane2, kTorvaneTitle, kTrayExit});
  for (int run = 0; run <= count; ++run) {
    for (const Program& p : programs) {
      if (FindWindowW(nullptr, p.title)) fail("a %s window is already open", p.name);
      Child child(p.path, L"");
      const Shown shown = waitShown(child, p.title);
      printTime((std::string(p.name) + ".visible").c_str(), run, shown.visibleMs);
      printTime((std::string(p.name) + ".ready").c_str(), run, shown.readyMs);
      closeProgram(child, shown.window, p.closeCommand);
      Sleep(200);
    }
  }
}

void quick(int count, const std::wstring& torvane) {
  for (int run = 0; run <= count; ++run) {
    if (FindWindowW(nullptr, kTorvaneTitle)) fail("a torvane.exe window is already open");
    Child child(torvane, L"");
    const Shown shown = waitShown(child, kTorvaneTitle);
    post(shown.window, kTabScan);
    post(shown.window, kScanButton);
    HWND box = waitMessageBox(child, shown.window, child.startedMs());
    const double boxMs = nowMs() - child.startedMs();
    printTime("quick.ready", run, shown.readyMs);
    printTime("quick.box", run, boxMs);
    printText("quick.box", run, boxText(box));
    dismiss(box);
    const ScanResult again = scanFromWindow(child, shown.window);
    printTime("quick.again", run, again.ms);
    printText("quick.again", run, again.text);
    closeProgram(child, shown.window, kTrayExit);
    Sleep(200);
  }
}

// tvscan --full --path FOLDER, from process start to its end; its output
// goes to OUT\NAME.out and OUT\NAME.err.
double timeTvscan(const std::wstring& tvscan, const std::wstring& folder, const std::wstring& out,
                  const std::wstring& name, DWORD expectedExit) {
  Child child(tvscan, L"--full --path \"" + folder + L"\" --quiet", out + L"\\" + name + L".out",
              out + L"\\" + name + L".err");
  DWORD code = 0;
  const double ended = child.waitForEnd(static_cast<DWORD>(kScanTimeoutMs), &code);
  if (code != expectedExit) fail("%s exited with %lu, not %lu", utf8(name).c_str(), code, expectedExit);
  return ended - child.startedMs();
}

void full(int count, const std::wstring& torvane, const std::wstring& tvscan, const std::wstring& corpus,
          const std::wstring& empty, const std::wstring& out) {
  if (FindWindowW(nullptr, kTorvaneTitle)) fail("a torvane.exe window is already open");
  setScanLocation(corpus);
  Child child(torvane, L"");
  const Shown shown = waitShown(child, kTorvaneTitle);
  HWND w = shown.window;
  post(w, kTabScan);
  HWND box = GetDlgItem(w, kScanPathBox);
  if (!box) fail("the window has no control %d", kScanPathBox);
  SendMessageW(box, BM_CLICK, 0, 0);
  if (SendMessageW(box, BM_GETCHECK, 0, 0) != BST_CHECKED) fail("box %d is not checked after a click", kScanPathBox);
  // A quick scan waits for both start-up tables: after its message they are loaded.
  post(w, kChooseQuickScan);
  printText("full.tables", 0, scanFromWindow(child, w).text);
  post(w, kChooseFullScan);
  for (int run = 0; run <= count; ++run) {
    setScanLocation(corpus);
    ScanResult scan = scanFromWindow(child, w);
    printTime("full.window", run, scan.ms);
    printText("full.window", run, scan.text);
    printTime("full.tvscan", run, timeTvscan(tvscan, corpus, out, L"tvscan", 1));
    setScanLocation(empty);
    scan = scanFromWindow(child, w);
    printTime("full.window_empty", run, scan.ms);
    printText("full.window_empty", run, scan.text);
    printTime("full.tvscan_empty", run, timeTvscan(tvscan, empty, out, L"tvscan_empty", 0));
  }
  setScanLocation(corpus);
  closeProgram(child, w, kTrayExit);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"start" && (argc == 5 || argc == 6)) {
    start(runs(argv[2]), argv[3], argv[4], argc == 6 ? argv[5] : L"");
  } else if (command == L"quick" && argc == 4) {
    quick(runs(argv[2]), argv[3]);
  } else if (command == L"full" && argc == 8) {
    full(runs(argv[2]), argv[3], argv[4], argv[5], argv[6], argv[7]);
  } else {
    std::fputs("usage: window_bench start RUNS MINIMAL_EXE TORVANE_EXE [TORVANE_EXE_2]\n"
               "       window_bench quick RUNS TORVANE_EXE\n"
               "       window_bench full RUNS TORVANE_EXE TVSCAN_EXE CORPUS EMPTY OUT_FOLDER\n",
               stderr);
    return 2;
  }
  return 0;
}
