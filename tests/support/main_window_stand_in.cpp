#include "support/main_window_stand_in.h"

#include "common/text.h"
#include "platform/win32/win32_registry.h"
#include "settings/key_layout.h"

namespace testing_support {

namespace ch = agent::channel;

MainWindowStandIn::MainWindowStandIn(bool answerAtOnce)
    : store_(win32::systemRegistry()), channel_(store_), answerAtOnce_(answerAtOnce) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvaneTestMainWindow";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  window_ = CreateWindowExW(0, L"TorvaneTestMainWindow", L"Torvane test main window", WS_POPUP, 0,
                            0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  channel_.publishMainWindow(reinterpret_cast<intptr_t>(window_));
}

MainWindowStandIn::~MainWindowStandIn() { DestroyWindow(window_); }

LRESULT CALLBACK MainWindowStandIn::windowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindowStandIn*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  if (self && message == agent::kWmAgentAlert) {
    self->onAlert();
    return 1;
  }
  return DefWindowProcW(w, message, wParam, lParam);
}

// As the alert window does at its start: "agent_reg" wins over "agent_file".
void MainWindowStandIn::onAlert() {
  ReceivedAlert alert;
  alert.at = std::chrono::steady_clock::now();
  alert.startup = channel_.read(ch::kReg) == keys::kOn;
  alert.fileFlag = channel_.read(ch::kFile);
  if (alert.startup)
    alert.reg = channel_.readStartupAlert();
  else
    alert.file = channel_.readFileAlert();
  alerts_.push_back(std::move(alert));
  if (answerAtOnce_) channel_.clearPendingFlags();
}

bool MainWindowStandIn::waitForAlerts(size_t count, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (alerts_.size() < count) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return true;
}

void MainWindowStandIn::pump(std::chrono::milliseconds time) {
  waitForAlerts(SIZE_MAX, time);
}

// --- AgentProcess ---

AgentProcess::~AgentProcess() {
  if (running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
}

bool AgentProcess::start(const std::string& exe) {
  std::wstring commandLine = L"\"" + text::widen(exe) + L"\"";
  STARTUPINFOW si{sizeof si};
  return CreateProcessW(text::widen(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, &info_) != FALSE;
}

int AgentProcess::waitForExit(std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

bool AgentProcess::running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND AgentProcess::findWindow() const {
  HWND w = FindWindowW(nullptr, text::widen(agent::kAgentWindowTitle).c_str());
  DWORD pid = 0;
  if (w) GetWindowThreadProcessId(w, &pid);
  return pid == info_.dwProcessId ? w : nullptr;
}

// --- VisibilityWatch ---

VisibilityWatch::VisibilityWatch(DWORD processId) : processId_(processId) {
  thread_ = std::thread([this] {
    while (!stop_) {
      EnumWindows(
          [](HWND w, LPARAM p) -> BOOL {
            auto* self = reinterpret_cast<VisibilityWatch*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == self->processId_ && IsWindowVisible(w)) {
              self->visibleWindow_ = w;
              self->seen_ = true;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(this));
      Sleep(1);
    }
  });
}

VisibilityWatch::~VisibilityWatch() {
  stop_ = true;
  thread_.join();
}

std::string VisibilityWatch::what() const {
  wchar_t title[256] = L"";
  GetWindowTextW(visibleWindow_.load(), title, 256);
  return "visible window: " + text::narrow(title);
}

std::string windowsPathOfHostPath(const std::string& hostPath) {
  std::string p = "Z:" + hostPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

}  // namespace testing_support
