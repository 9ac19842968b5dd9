// A thread that watches one start-up key (the Run key under one root) and
// reports every value added, changed or removed, each as its own report text,
// into a StartupReportQueue; after each batch it calls `onReports` with the
// key's value count (the agent posts WM_STARTUP_CHANGED from it).
//
// The watch runs until stop() (or the destructor): the thread waits on the
// key's change event together with a stop event. The notification is re-armed
// before the key is read, so a change made while a pass reads is seen by the
// next pass. A key that cannot be opened is tried again every second.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "agent/startup_report.h"
#include "platform/win32/unique_handle.h"

namespace agent {

class StartupWatcher {
 public:
  using ReportsCallback = std::function<void(unsigned valueCount)>;

  // `root` is HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE (or another predefined
  // root); `onEnded` runs on the thread as it ends.
  StartupWatcher(HKEY root, std::string keyPath, StartupReportQueue& queue,
                 ReportsCallback onReports, std::function<void()> onEnded = {});
  ~StartupWatcher();
  StartupWatcher(const StartupWatcher&) = delete;
  StartupWatcher& operator=(const StartupWatcher&) = delete;

  // Starts the thread; it has read the key's first snapshot (or failed to
  // open it) when this returns.
  bool start();
  void stop();  // signals the thread and joins it

  static const char* rootName(HKEY root);  // "HKEY_CURRENT_USER", ...; "" for others

 private:
  void run(HANDLE started);
  bool openKey(win32::unique_hkey* key, HANDLE changed);
  bool readSnapshot(HKEY key, StartupSnapshot* snapshot, std::string* time, unsigned* count);
  void report(const std::vector<std::string>& reports, unsigned count);

  HKEY root_;
  std::string keyPath_;
  std::string marker_;
  StartupReportQueue& queue_;
  ReportsCallback onReports_;
  std::function<void()> onEnded_;
  win32::unique_handle stopEvent_;
  std::thread thread_;
};

}  // namespace agent
