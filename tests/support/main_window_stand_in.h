// What the real-time front end of the main program does with the agent, in a
// test process: a hidden window published as "hwnd" that records every
// WM_AGENT_ALERT with the payload an alert window would read at its start,
// and answers it as the alert window's Skip would (the three flags "0").
// Also starts and watches the real Wardsel.exe.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "agent/agent_channel.h"
#include "settings/registry_store.h"

namespace testing_support {

struct ReceivedAlert {
  bool startup = false;  // "agent_reg" was "1"
  std::string fileFlag;  // "agent_file" as the alert window found it
  agent::FileAlert file;
  agent::StartupAlert reg;
  std::chrono::steady_clock::time_point at;
};

class MainWindowStandIn {
 public:
  explicit MainWindowStandIn(bool answerAtOnce = true);
  ~MainWindowStandIn();

  HWND window() const { return window_; }
  // Dispatches this thread's messages until `count` alerts in all arrived.
  bool waitForAlerts(size_t count, std::chrono::milliseconds timeout);
  // Dispatches messages for `time` (to see that nothing more arrives).
  void pump(std::chrono::milliseconds time);
  const std::vector<ReceivedAlert>& alerts() const { return alerts_; }

  agent::AgentChannel& channel() { return channel_; }
  settings::RegistryStore& store() { return store_; }

 private:
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  void onAlert();

  settings::RegistryStore store_;
  agent::AgentChannel channel_;
  bool answerAtOnce_;
  HWND window_ = nullptr;
  std::vector<ReceivedAlert> alerts_;
};

// The real agent program as a process of its own.
class AgentProcess {
 public:
  ~AgentProcess();
  // Starts `exe` (a Windows path) with no arguments.
  bool start(const std::string& exe);
  // Waits for the process to end; its exit code, or -1 on timeout.
  int waitForExit(std::chrono::milliseconds timeout);
  bool running() const;
  DWORD id() const { return info_.dwProcessId; }
  // The agent's window, once it has its title (0 until then).
  HWND findWindow() const;

 private:
  PROCESS_INFORMATION info_{};
};

// Watches, from the moment it is made, whether any top-level window of a
// process becomes visible.
class VisibilityWatch {
 public:
  explicit VisibilityWatch(DWORD processId);
  ~VisibilityWatch();
  bool sawVisibleWindow() const { return seen_; }
  std::string what() const;

 private:
  DWORD processId_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> seen_{false};
  std::atomic<HWND> visibleWindow_{nullptr};
  std::thread thread_;
};

// "Z:\..." for a path of the host file system (Wine maps Z: to /).
std::string windowsPathOfHostPath(const std::string& hostPath);

}  // namespace testing_support
