#include "scan/remedy.h"

#include "common/text.h"
#include "common/windows_path.h"
#include "scan/definition_database.h"
#include "scan/scan_texts.h"

namespace scan {
namespace {

bool isFileKind(const std::string& k) {
  return k == kind::kFile || k == kind::kWindows || k == kind::kSystem || k == kind::kDesktop ||
         k == kind::kMd5;
}

bool isFolderKind(const std::string& k) { return k == kind::kFolder || k == kind::kProgramGroup; }

bool isRegistryKind(const std::string& k) {
  return k == kind::kRegistryValue || k == kind::kRegistryKey;
}

// The text after the last "."; the whole name when it has none.
std::string_view extensionOf(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos ? fileName : fileName.substr(dot + 1);
}

struct RunningMark {
  std::atomic<bool>& running;
  ~RunningMark() { running.store(false); }
};

}  // namespace

void unregisterLibrary(platform::Processes& processes, const std::string& systemFolder,
                       const std::string& path) {
  processes.runHidden(systemFolder + "regsvr32.exe", "/u /s \"" + path + "\"", kRemedyWaitMs);
}

int terminateProcessByName(platform::Processes& processes, std::string_view textToFind) {
  const std::string wanted = text::toUpperAscii(textToFind);
  std::vector<platform::ProcessInfo> list;
  if (!processes.snapshot(/*withImagePaths=*/false, &list)) return 0;
  for (const platform::ProcessInfo& p : list) {
    if (text::toUpperAscii(p.exeName).find(wanted) == std::string::npos) continue;
    return processes.terminate(p.id, 0) ? 1 : 0;
  }
  return 0;
}

int terminateProcessesOfFile(platform::Processes& processes, const std::string& path,
                             uint32_t waitMs) {
  std::vector<platform::ProcessInfo> list;
  if (!processes.snapshot(/*withImagePaths=*/true, &list)) return 0;
  int ended = 0;
  for (const platform::ProcessInfo& p : list)
    if (!p.imagePath.empty() && winpath::equalIgnoringCase(p.imagePath, path) &&
        processes.terminate(p.id, waitMs))
      ++ended;
  return ended;
}

void deleteFolderTree(platform::FileSystem& files, const std::string& path) {
  const std::optional<uint32_t> top = files.attributes(path);
  if (!top || !(*top & platform::kAttributeDirectory)) return;
  if (*top & platform::kAttributeReparsePoint) {
    files.removeFolder(path);  // the link, not its target
    return;
  }
  // Depth first without recursion: a tree of any depth cannot exhaust the stack.
  struct Frame {
    std::string folder;
    std::vector<platform::FolderEntry> entries;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  stack.push_back({path, platform::folderEntries(files, path)});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      files.removeFolder(frame.folder);
      stack.pop_back();
      continue;
    }
    const platform::FolderEntry entry = frame.entries[frame.next++];
    const std::string child = winpath::join(frame.folder, entry.name);
    if (entry.isFolder() && entry.isLink())
      files.removeFolder(child);
    else if (entry.isFolder())
      stack.push_back({child, platform::folderEntries(files, child)});  // `frame` may move
    else
      files.deleteFile(child);
  }
}

Remedy::Outcome Remedy::remedyFile(const std::string& path) {
  const std::string_view extension = extensionOf(text::afterLastBackslash(path));
  if (extension == "dll")
    unregisterLibrary(ports_.processes, ports_.systemFolder, path);
  else if (extension == "exe")
    terminateProcessesOfFile(ports_.processes, path, kRemedyWaitMs);
  ports_.files.deleteFile(path);
  return ports_.files.exists(path) ? Outcome::StillThere : Outcome::Gone;
}

Remedy::Outcome Remedy::remedyFolder(const std::string& path) {
  deleteFolderTree(ports_.files, path);
  return ports_.files.exists(path) ? Outcome::StillThere : Outcome::Gone;
}

Remedy::Outcome Remedy::remedyRegistry(const ResultRow& row) {
  const std::optional<platform::RootKey> root = settings::parseRootName(row.root);
  if (!root) return Outcome::Gone;  // nothing this row could name is there to delete
  settings::RegistryStore& store = ports_.store;
  if (row.kind == kind::kRegistryValue) {
    store.deleteValue(*root, row.keyPath, row.valueName);
    return store.valueExists(*root, row.keyPath, row.valueName) ? Outcome::StillThere
                                                                 : Outcome::Gone;
  }
  store.deleteKey(*root, row.keyPath, /*alsoDeleteKey=*/true);
  return store.keyExists(*root, row.keyPath) ? Outcome::StillThere : Outcome::Gone;
}

RemedyOutcome Remedy::run(std::vector<ResultRow>& rows, std::string_view definitionCountText,
                          RemedyObserver& observer) {
  RemedyOutcome result;
  if (rows.empty() || running_.exchange(true)) return result;
  RunningMark mark{running_};
  result.ran = true;

  size_t i = 0;
  while (i < rows.size()) {
    ResultRow& row = rows[i];
    if (!row.checked) {
      ++i;
      continue;
    }
    Outcome outcome = Outcome::NotHandled;
    if (isFileKind(row.kind))
      outcome = remedyFile(row.filePath);
    else if (isFolderKind(row.kind))
      outcome = remedyFolder(row.filePath);
    else if (isRegistryKind(row.kind))
      outcome = remedyRegistry(row);

    if (outcome == Outcome::Gone) {
      rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
      observer.removeRow(i);
      ++result.removed;
      continue;  // the next row has moved up into place i
    }
    if (outcome == Outcome::StillThere) {
      row.checked = false;
      observer.uncheckRow(i);
      ++result.notRemoved;
    }
    ++i;
  }
  observer.setLabel(ScanLabel::Progress, texts::kProgressIdle);
  observer.setLabel(ScanLabel::Count, texts::remedyCount(definitionCountText));
  observer.showMessage(texts::remedyFinished(result.notRemoved));
  return result;
}

}  // namespace scan
