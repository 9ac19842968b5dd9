// The scan: running processes against the process table, every definition's
// file and registry items where they would be, and in a full scan every file
// below the top folder against the digest table. It reports everything the
// user sees through a ScanObserver and takes the machine through its ports,
// so the main window and the console scanner only display what it says.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/work_flags.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "scan/definition_database.h"
#include "scan/definition_tables.h"
#include "scan/file_digest.h"
#include "scan/item_path.h"
#include "scan/result_row.h"
#include "settings/registry_store.h"

namespace scan {

class DigestIndex;

// The labels of the scan page (control ids of the main window).
enum class ScanLabel {
  Progress = 1016,     // "진행정보 : …"
  ScanType = 1017,     // "검사종류 : …"
  Elapsed = 1018,      // "검사시간 : …"
  Count = 1019,        // "검사개수 : …"
  ItemCaption = 1020,  // "검사항목 : 대기상태"
  CurrentItem = 1027,  // the object being examined
};

enum class MessageIcon { Warning, Information };

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;
  virtual void setLabel(ScanLabel label, const std::string& text) = 0;
  virtual void showCurrentItem(bool shown) = 0;
  virtual void clearResults() = 0;
  // A new row at the top of the list, checked.
  virtual void insertResult(const ResultRow& row) = 0;
  // The closing message; the scan goes on when it returns.
  virtual void showMessage(const std::string& text, MessageIcon icon) = 0;
  // "AutoRemedy" is on and something was found: start the remedy over the rows.
  virtual void startRemedy() = 0;
};

struct ScanSetup {
  const DefinitionDatabase* database = nullptr;
  const std::vector<ProcessDefinitionRow>* processTable = nullptr;  // newest first
  const std::vector<DigestRow>* digestTable = nullptr;              // newest first
  ItemPathContext pathContext;
  bool fullScan = false;
  bool scanPathChecked = false;  // the "ScanPath" box: start at the stored "ScanLocation"
  // Stop was pressed while the caller prepared the scan: the scan starts
  // stopped (each phase ends at its first check) and reports as usual.
  bool stoppedBeforeStart = false;
  std::optional<std::string> topFolder;  // given by the caller instead of the options
  // The elapsed text for the closing message; by default the engine's own count.
  std::function<std::string()> elapsedText;
};

struct ScanPorts {
  platform::FileSystem& files;
  platform::Processes& processes;
  settings::RegistryStore& store;
};

class ScanEngine {
 public:
  ScanEngine(ScanPorts ports, WorkFlags& flags) : ports_(ports), flags_(flags), digest_(ports.files) {}

  // Runs one whole scan on the calling thread. A call while another scan
  // runs does nothing and returns false.
  bool run(const ScanSetup& setup, ScanObserver& observer);

  // The rows of the last scan, newest first.
  std::vector<ResultRow> results() const;
  int64_t examinedFiles() const { return examined_; }

  // The top folder of a full scan as the stored options give it.
  std::string storedTopFolder(bool scanPathChecked);

 private:
  struct Frame;

  void scanProcesses();
  void scanDatabase();
  void scanFileItem(const Definition& d, const FileItem& item);
  void scanRegistryItem(const Definition& d, const RegistryItem& item);
  void scanFolderTree(const std::string& top);
  void examine(const std::string& path, const platform::FolderEntry& entry);
  std::string digestOf(const std::string& path);
  bool enterable(const std::string& path, const platform::FolderEntry& entry) const;
  void report(ResultRow row);
  bool stopRequested() const { return flags_.stopRequest.load(std::memory_order_relaxed) == 1; }

  ScanPorts ports_;
  WorkFlags& flags_;
  std::atomic<bool> running_{false};

  // State of the running scan.
  const ScanSetup* setup_ = nullptr;
  ScanObserver* observer_ = nullptr;
  std::vector<ResultRow> found_;  // oldest first
  int64_t examined_ = 0;
  FileDigest digest_;
  const DigestIndex* digestIndex_ = nullptr;  // during the full-scan phase
  std::vector<uint32_t> matches_;
};

// The text of "레지값" data as the scan compares it: up to the first zero
// byte, when the value's data fits 100 bytes in the ANSI form; nullopt when
// the key or value cannot be read with full access or the data is larger.
std::optional<std::string> readRegistryItemData(platform::Registry& registry,
                                                platform::RootKey root, const std::string& keyPath,
                                                const std::string& valueName);

}  // namespace scan
