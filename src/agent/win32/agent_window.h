// The agent's one window: never visible, single instance by its mutex. It
// publishes "hwnd_agent", loads the detection table, watches "C:\" for new
// files and the two Run keys for new values, checks new files on its 500 ms
// timer and hands findings to the main program one at a time.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "agent/agent_channel.h"
#include "agent/detection.h"
#include "agent/startup_report.h"
#include "agent/win32/directory_watcher.h"
#include "agent/win32/startup_watcher.h"
#include "platform/win32/unique_handle.h"
#include "settings/registry_store.h"
#include "ui/dialog.h"

namespace agent {

// Messages between the agent's own threads.
inline constexpr UINT kWmStartupWatchEnded = WM_USER;       // 0x400
inline constexpr UINT kWmStartupChanged = WM_USER + 1;      // 0x401

inline constexpr UINT kTimerHide = 1;
inline constexpr UINT kTimerCheckFiles = 2;
inline constexpr UINT kTimerDeliver = 3;  // while findings wait for an answer
inline constexpr UINT kCheckFilesMs = 500;
inline constexpr UINT kDeliverPollMs = 20;
inline constexpr int kMaxLogLines = 100000;

inline constexpr const char* kWatchedDirectory = "C:\\";

class AgentWindow final : public ui::Dialog, private AlertPoster, private FileSizes, private AgentLog {
 public:
  AgentWindow();
  ~AgentWindow() override;

  // Creates the window (hidden); false when it could not be made.
  bool create();
  // True once the window was destroyed (a second instance destroys itself
  // during its creation).
  bool closed() const { return closed_; }

  // The notify filter of the check boxes 1001 to 1008.
  unsigned long notifyFilterFromBoxes() const;

 private:
  std::span<const Entry> messageTable() const override;

  INT_PTR onInitDialog(WPARAM, LPARAM);
  INT_PTR onCancel(WPARAM, LPARAM);
  INT_PTR onClose(WPARAM, LPARAM);
  INT_PTR onDestroy(WPARAM, LPARAM);
  INT_PTR onTimer(WPARAM, LPARAM);
  INT_PTR onStartupChanged(WPARAM, LPARAM);
  INT_PTR onStartupWatchEnded(WPARAM, LPARAM);
  INT_PTR onTrustReset(WPARAM, LPARAM);
  INT_PTR onPaint(WPARAM, LPARAM);
  INT_PTR onQueryDragIcon(WPARAM, LPARAM);

  bool takeSingleInstance();
  void hideFromEverything();
  void loadDetectionTable();
  void showDetectionTable(const DetectionTable& table);
  void checkInitialBoxes();
  void startWatching();
  void startStartupWatchers();
  void stopWatching();
  void deliverFindings();
  void checkFiles();
  void runOverdueTimedWork();

  // AlertPoster, FileSizes, AgentLog
  void post(intptr_t window, unsigned message) override;
  std::optional<uint64_t> sizeOf(const std::string& path) override;
  void logLine(const std::string& line) override;

  settings::RegistryStore store_;
  AgentChannel channel_;
  TrustedZone trust_;
  std::optional<AgentDetection> detection_;
  DirectoryWatcher watcher_;
  StartupReportQueue reports_;
  std::optional<StartupWatcher> userRunWatcher_;
  std::optional<StartupWatcher> machineRunWatcher_;
  win32::unique_handle mutex_;
  HICON icon_ = nullptr;
  std::string programFolder_;
  std::string windowsFolder_;
  std::string userName_;
  bool closed_ = false;
  // When the timed work last ran: WM_TIMER comes only when the queue is
  // empty, so a burst of notifications would hold it back.
  ULONGLONG lastCheck_ = 0;
  ULONGLONG lastDelivery_ = 0;
};

}  // namespace agent
