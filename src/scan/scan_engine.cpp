#include "scan/scan_engine.h"

#include <chrono>
#include <unordered_map>

#include "common/text.h"
#include "common/windows_path.h"
#include "scan/digest_index.h"
#include "scan/scan_texts.h"
#include "settings/key_layout.h"

namespace scan {
namespace {

using platform::FolderEntry;

// Processes the scan never reports, whatever the table says.
bool isShellProcess(const std::string& name) {
  return name == "explorer.exe" || name == "services.exe";
}

constexpr const char* kSkippedFolder = "Temporary Internet Files";
constexpr size_t kRegistryDataBytes = 100;

// Clears the running mark however the scan ends.
struct RunningMark {
  std::atomic<bool>& running;
  ~RunningMark() { running.store(false); }
};

}  // namespace

std::optional<std::string> readRegistryItemData(platform::Registry& registry,
                                                platform::RootKey root, const std::string& keyPath,
                                                const std::string& valueName) {
  platform::ScopedKey key(registry);
  if (key.open(root, keyPath, platform::RegistryAccess::Full) != 0) return std::nullopt;
  // An ANSI text of at most 100 bytes is at most 100 UTF-16 units.
  uint32_t type = 0;
  std::string data;
  if (registry.queryValue(key.get(), valueName, 2 * kRegistryDataBytes, &type, &data) != 0)
    return std::nullopt;
  std::string textValue = settings::registryText(type, data);
  const size_t ansiBytes =
      settings::isStringType(type) ? text::utf8ToCp949(textValue).size() + 1 : data.size();
  if (ansiBytes > kRegistryDataBytes) return std::nullopt;
  return textValue;
}

// One folder of the walk: its entries, read at once so that no enumeration
// stays open while the folders below it are walked.
struct ScanEngine::Frame {
  std::string folder;
  std::vector<FolderEntry> entries;
  size_t next = 0;
};

bool ScanEngine::run(const ScanSetup& setup, ScanObserver& observer) {
  if (running_.exchange(true)) return false;
  RunningMark mark{running_};
  setup_ = &setup;
  observer_ = &observer;
  const auto started = std::chrono::steady_clock::now();

  observer.setLabel(ScanLabel::ItemCaption, texts::kItemIdle);
  observer.showCurrentItem(true);
  observer.clearResults();
  found_.clear();
  flags_.stopRequest.store(setup.stoppedBeforeStart ? 1 : 0);
  flags_.busy.store(setup.stoppedBeforeStart ? 0 : 1);
  examined_ = 0;

  scanProcesses();
  scanDatabase();
  if (setup.fullScan)
    scanFolderTree(setup.topFolder ? *setup.topFolder : storedTopFolder(setup.scanPathChecked));
  flags_.busy.store(0);

  std::string elapsed;
  if (setup.elapsedText) {
    elapsed = setup.elapsedText();
  } else {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started);
    elapsed = texts::elapsedText(seconds.count());
  }
  const size_t count = found_.size();
  const bool autoRemedy =
      count > 0 && ports_.store.readString(keys::kRoot, keys::kMain, keys::value::kAutoRemedy,
                                           keys::kDefault) == keys::kOn;
  if (autoRemedy)
    observer.startRemedy();
  else
    observer.showMessage(texts::scanFinished(count, elapsed),
                         count > 0 ? MessageIcon::Warning : MessageIcon::Information);

  observer.showCurrentItem(false);
  observer.setLabel(ScanLabel::Progress, texts::kProgressIdle);
  observer.setLabel(ScanLabel::ItemCaption, texts::kItemIdle);
  observer.setLabel(ScanLabel::Count, texts::kCountIdle);
  observer.setLabel(ScanLabel::Elapsed, texts::kElapsedIdle);
  setup_ = nullptr;
  observer_ = nullptr;
  return true;
}

std::vector<ResultRow> ScanEngine::results() const {
  return std::vector<ResultRow>(found_.rbegin(), found_.rend());
}

std::string ScanEngine::storedTopFolder(bool scanPathChecked) {
  if (!scanPathChecked) return "C:\\";
  const std::string stored = ports_.store.readString(keys::kRoot, keys::kMain,
                                                     keys::value::kScanLocation, keys::kDefault);
  return stored == keys::kDefault ? "C:\\" : stored;
}

void ScanEngine::report(ResultRow row) {
  row.checked = true;
  observer_->insertResult(row);
  found_.push_back(std::move(row));
}

void ScanEngine::scanProcesses() {
  observer_->setLabel(ScanLabel::Progress, texts::kProgressProcesses);
  std::vector<platform::ProcessInfo> processes;
  if (!ports_.processes.snapshot(/*withImagePaths=*/false, &processes)) return;

  // Each process meets each table row once; the rows it can match at all are
  // those of its name, in table order.
  const std::vector<ProcessDefinitionRow>& table = *setup_->processTable;
  std::unordered_map<std::string, std::vector<size_t>> rowsByName;
  for (size_t i = 0; i < table.size(); ++i) rowsByName[table[i].fileName].push_back(i);

  int64_t examined = 0;
  for (const platform::ProcessInfo& process : processes) {
    if (!stopRequested()) {
      observer_->setLabel(ScanLabel::CurrentItem, process.exeName);
      const auto rows = rowsByName.find(process.exeName);
      if (rows != rowsByName.end() && !isShellProcess(process.exeName)) {
        for (size_t i : rows->second) {
          if (stopRequested()) break;
          const ProcessDefinitionRow& row = table[i];
          if (ports_.files.exists(row.path)) report(pathRow(row.name, row.path, row.type, row.kind));
        }
      }
    }
    observer_->setLabel(ScanLabel::Count, texts::examinedCount(++examined));
  }
}

void ScanEngine::scanDatabase() {
  observer_->setLabel(ScanLabel::Progress, texts::kProgressDatabase);
  const DefinitionDatabase& db = *setup_->database;
  const int n = db.definitionCount();
  for (int i : db.definitionNumbers()) {
    if (stopRequested()) {
      flags_.busy.store(0);
      return;
    }
    const Definition d = db.definition(i);
    observer_->setLabel(ScanLabel::CurrentItem, d.name);
    observer_->setLabel(ScanLabel::Count, texts::definitionCount(i, n));
    for (const FileItem& item : d.files) scanFileItem(d, item);
    for (const RegistryItem& item : d.registryItems) scanRegistryItem(d, item);
  }
}

void ScanEngine::scanFileItem(const Definition& d, const FileItem& item) {
  const std::string path =
      expandItemPath(item.path, item.kind, setup_->pathContext, Expansion::All);
  if (!ports_.files.exists(path)) return;
  if (item.size != kAnySize) {
    const std::optional<uint64_t> size = ports_.files.fileSize(path);
    if (!size || sizeText(*size) != item.size) return;
  }
  report(pathRow(d.name, path, d.info, item.kind));
}

void ScanEngine::scanRegistryItem(const Definition& d, const RegistryItem& item) {
  const std::optional<platform::RootKey> root = settings::parseRootName(item.root);
  if (!root) return;
  platform::Registry& registry = ports_.store.registry();
  if (item.kind == kind::kRegistryValue) {
    const std::optional<std::string> data =
        readRegistryItemData(registry, *root, item.keyPath, item.valueName);
    if (data && (item.data == kAnySize || *data == item.data))
      report(registryRow(d.name, d.info, kind::kRegistryValue, item.root, item.keyPath,
                         item.valueName, *data));
  } else if (item.kind == kind::kRegistryKey) {
    platform::ScopedKey key(registry);
    if (key.open(*root, item.keyPath, platform::RegistryAccess::Full) == 0)
      report(registryRow(d.name, d.info, kind::kRegistryKey, item.root, item.keyPath,
                         item.valueName, item.data));
  }
}

bool ScanEngine::enterable(const std::string& path, const FolderEntry& entry) const {
  // A junction or symbolic link is examined but not entered: it leads to a
  // tree that is walked where it lives, or back up into this one.
  return entry.isFolder() && !entry.isLink() && !winpath::contains(path, kSkippedFolder);
}

void ScanEngine::scanFolderTree(const std::string& top) {
  observer_->setLabel(ScanLabel::Progress, texts::kProgressFullScan);
  const DigestIndex index(*setup_->digestTable);
  digestIndex_ = &index;

  std::vector<Frame> stack;
  stack.push_back({top, platform::folderEntries(ports_.files, top)});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      stack.pop_back();
      continue;
    }
    if (stopRequested()) break;
    const FolderEntry& entry = frame.entries[frame.next++];
    const std::string path = winpath::join(frame.folder, entry.name);
    // At the top every entry is examined, folders included; below it, files.
    if (stack.size() == 1 || !entry.isFolder()) examine(path, entry);
    if (enterable(path, entry))
      stack.push_back({path, platform::folderEntries(ports_.files, path)});  // `frame` may move
  }
  digestIndex_ = nullptr;
}

std::string ScanEngine::digestOf(const std::string& path) {
  digest_.setSourceKind(FileDigest::kFile);
  digest_.setPath(path);
  digest_.setFormat(1);
  digest_.setEnabled(1);
  return digest_.digestText();
}

void ScanEngine::examine(const std::string& path, const FolderEntry& entry) {
  observer_->setLabel(ScanLabel::CurrentItem, path);
  digestIndex_->matches(entry.name, sizeTextValue(entry.size), &matches_);
  if (!matches_.empty()) {
    // One digest for the file, compared with every row it matched, in order.
    const std::string digest = text::toUpperAscii(digestOf(path));
    const std::vector<DigestRow>& table = *setup_->digestTable;
    for (uint32_t i : matches_) {
      const DigestRow& row = table[i];
      if (!digest.empty() && digest == text::toUpperAscii(row.digest))
        report(pathRow(row.name, path, row.type, kind::kMd5));
    }
  }
  observer_->setLabel(ScanLabel::Count, texts::examinedCount(++examined_));
}

}  // namespace scan
