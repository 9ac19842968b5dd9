// The remedy: for every checked row of the result list it unregisters a
// library or ends the program running from a file, deletes the file or the
// folder tree, or deletes the registry value or key, and removes the rows
// whose object is gone. A row whose object is still there afterwards stays,
// unchecked, and the closing message counts it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/processes.h"
#include "scan/result_row.h"
#include "scan/scan_engine.h"
#include "settings/registry_store.h"

namespace scan {

class RemedyObserver {
 public:
  virtual ~RemedyObserver() = default;
  virtual void removeRow(size_t index) = 0;
  virtual void uncheckRow(size_t index) = 0;
  virtual void setLabel(ScanLabel label, const std::string& text) = 0;
  // The closing message (information icon); the remedy ends when it returns.
  virtual void showMessage(const std::string& text) = 0;
};

struct RemedyPorts {
  platform::FileSystem& files;
  platform::Processes& processes;
  settings::RegistryStore& store;
  std::string systemFolder;  // where "regsvr32.exe" lives; ends in a backslash
};

// The longest wait for an ended program to exit or the registration tool to finish.
inline constexpr uint32_t kRemedyWaitMs = 500;

struct RemedyOutcome {
  bool ran = false;        // false: another remedy was running, or the list was empty
  size_t removed = 0;      // rows removed from the list
  size_t notRemoved = 0;   // rows kept because their object is still there
};

class Remedy {
 public:
  explicit Remedy(RemedyPorts ports) : ports_(std::move(ports)) {}

  // Works through `rows` (newest first, as the list shows them), changing it
  // as the list changes. `definitionCountText` is the database's count text
  // for the count label. One remedy at a time.
  RemedyOutcome run(std::vector<ResultRow>& rows, std::string_view definitionCountText,
                    RemedyObserver& observer);

 private:
  enum class Outcome { Gone, StillThere, NotHandled };
  Outcome remedyFile(const std::string& path);
  Outcome remedyFolder(const std::string& path);
  Outcome remedyRegistry(const ResultRow& row);

  RemedyPorts ports_;
  std::atomic<bool> running_{false};
};

// Starts "regsvr32.exe" of the system folder hidden with "/u /s" and the
// quoted path, and waits up to kRemedyWaitMs for it to finish.
void unregisterLibrary(platform::Processes& processes, const std::string& systemFolder,
                       const std::string& path);

// Ends the first process whose executable text contains `text` (upper-cased
// on both sides). 1 when a process was ended, else 0. The process manager
// ends processes by name this way.
int terminateProcessByName(platform::Processes& processes, std::string_view text);

// Ends every process whose image is the file at `path` (letter case ignored)
// and waits up to `waitMs` for each to exit. The number of processes ended.
int terminateProcessesOfFile(platform::Processes& processes, const std::string& path,
                             uint32_t waitMs);

// Deletes the folder and everything in it that can be deleted. A junction or
// symbolic link inside is removed itself; what it points to is not touched.
void deleteFolderTree(platform::FileSystem& files, const std::string& path);

}  // namespace scan
