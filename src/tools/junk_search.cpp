#include "tools/junk_search.h"

#include "common/windows_path.h"
#include "scan/remedy.h"
#include "settings/key_layout.h"
#include "tools/registry_values.h"

namespace tools {

const std::vector<const char*>& usageTraceKeys() {
  static const std::vector<const char*> keys = {
      "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
      "Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
      "Software\\Microsoft\\Search Assistant\\ACMru\\5603",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU",
      "Software\\Microsoft\\Internet Explorer\\TypedURLs",
  };
  return keys;
}

std::vector<JunkRow> usageTraceRows(platform::Registry& registry) {
  std::vector<JunkRow> rows;
  for (const char* key : usageTraceKeys())
    for (RegistryValueRow& value : listRegistryValues(registry, platform::RootKey::CurrentUser, key))
      rows.push_back({std::move(value.keyText), std::move(value.name), std::move(value.data),
                      junk_kind::kRegistry});
  return rows;
}

JunkSwitches readJunkSwitches(settings::RegistryStore& store) {
  JunkSwitches switches{};
  const auto table = junkExtensions();
  for (size_t i = 0; i < table.size(); ++i)
    switches[i] = switchSearched(
        store.readString(keys::kRoot, keys::kFileType, table[i].extension, keys::kDefault));
  return switches;
}

std::string countLabel(size_t rows) { return "검사개수 : " + std::to_string(rows); }

std::string searchDoneMessage(size_t rows) {
  if (rows == 0) return "윈도우 최적화를 완료하였습니다. \n\n검색결과 : 최적화 할 항목이 발견되지 않았습니다.";
  return "윈도우 최적화를 완료하였습니다. \n\n검색결과 : " + std::to_string(rows) +
         " 개의 최적화 항목이 발견 되었습니다.";
}

bool JunkSearch::enterable(const std::string& path, const platform::FolderEntry& entry) const {
  if (!entry.isFolder() || entry.isLink()) return false;
  // The registry's hives and logs: deleting one can leave Windows unable to start.
  const std::string hives = setup_->systemFolder + "config";
  return setup_->systemFolder.empty() || !winpath::equalIgnoringCase(path, hives);
}

void JunkSearch::found(JunkRow row) {
  ++rows_;
  observer_->insertRow(row);
  observer_->setLabel(JunkLabel::Count, countLabel(rows_));
}

size_t JunkSearch::run(const JunkSearchSetup& setup, JunkObserver& observer) {
  setup_ = &setup;
  observer_ = &observer;
  rows_ = setup.rowsBefore;
  struct Frame {
    std::string folder;
    std::vector<platform::FolderEntry> entries;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  stack.push_back({setup.drive, platform::folderEntries(files_, setup.drive)});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      stack.pop_back();
      continue;
    }
    if (flags_.stopRequest.load() == 1) break;
    const platform::FolderEntry entry = frame.entries[frame.next++];
    const std::string path = winpath::join(frame.folder, entry.name);
    const bool atDrive = stack.size() == 1;
    if (entry.isFolder()) {
      if (!atDrive && isCacheFolder(path, entry.name))
        found({path, entry.name, "", junk_kind::kFolder});
      if (enterable(path, entry)) stack.push_back({path, platform::folderEntries(files_, path)});
      continue;
    }
    if (atDrive) continue;  // files of the drive's root are never examined
    observer.setLabel(JunkLabel::CurrentPath, path);
    observer.setLabel(JunkLabel::CurrentName, entry.name);
    if (setup.filter && setup.filter->contains(path)) continue;
    if (isJunkFile(path, entry.name, setup.switches)) found({path, entry.name, "", junk_kind::kFile});
  }
  observer.setLabel(JunkLabel::CurrentPath, "대기상태");
  observer.setLabel(JunkLabel::CurrentName, "대기상태");
  flags_.busy = 0;
  setup_ = nullptr;
  observer_ = nullptr;
  return rows_;
}

void deleteCheckedRows(std::vector<JunkRow>& rows, JunkDeletePorts ports,
                       JunkDeleteObserver& observer, std::vector<std::string>* failed) {
  size_t index = 0;
  while (index < rows.size()) {
    const JunkRow& row = rows[index];
    const bool known = row.kind == junk_kind::kFile || row.kind == junk_kind::kFolder ||
                       row.kind == junk_kind::kRegistry;
    if (!row.checked || !known) {
      ++index;
      continue;
    }
    if (row.kind == junk_kind::kFile) {
      if (!ports.files.deleteFile(row.location) && ports.files.exists(row.location) && failed)
        failed->push_back(row.location);
    } else if (row.kind == junk_kind::kFolder) {
      scan::deleteFolderTree(ports.files, row.location);
    } else {
      std::string root, keyPath;
      if (splitKeyText(row.location, &root, &keyPath)) {
        const auto key = settings::parseRootName(root);
        if (key && (*key == platform::RootKey::CurrentUser || *key == platform::RootKey::LocalMachine))
          ports.store.deleteValue(*key, keyPath, row.name);
      }
    }
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(index));
    observer.removeRow(index);
  }
}

}  // namespace tools
