// The optimisation search and its delete, over the file-system and registry
// ports: junk files and cache folders anywhere below the folders of a drive,
// the values of the six usage-trace keys, and the delete of the rows the user
// keeps checked. Reports go to an observer; the page shows them.
#pragma once

#include <string>
#include <vector>

#include "common/work_flags.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "settings/registry_store.h"
#include "tools/filter_list.h"
#include "tools/junk_rules.h"

namespace tools {

namespace junk_kind {
inline constexpr const char* kFile = "파일";
inline constexpr const char* kFolder = "폴더";
inline constexpr const char* kRegistry = "레지";
}  // namespace junk_kind

// A row of the result list: location, name, other, kind (its four columns).
struct JunkRow {
  std::string location;
  std::string name;
  std::string other;
  std::string kind;
  bool checked = true;
};

// The six usage-trace keys of HKEY_CURRENT_USER, in the order they are listed.
const std::vector<const char*>& usageTraceKeys();
// Their values as registry rows, in that order.
std::vector<JunkRow> usageTraceRows(platform::Registry& registry);

// The switches of the eleven extensions as stored under SOFTWARE\Torvane_KOR\FileType.
JunkSwitches readJunkSwitches(settings::RegistryStore& store);

// Label controls of the optimisation page.
enum class JunkLabel { CurrentPath = 1039, CurrentName = 1040, Count = 1035 };

class JunkObserver {
 public:
  virtual ~JunkObserver() = default;
  virtual void insertRow(const JunkRow& row) = 0;  // at the top of the list
  virtual void setLabel(JunkLabel label, const std::string& text) = 0;
};

std::string countLabel(size_t rows);
// The closing message of a search that leaves `rows` rows, and whether it
// carries the exclamation icon (something found) or the information icon.
std::string searchDoneMessage(size_t rows);

struct JunkSearchSetup {
  std::string drive = "C:\\";   // the walk starts at its folders
  std::string systemFolder;     // ends in a backslash; its "config" tree is never offered
  JunkSwitches switches{};
  const FilterList* filter = nullptr;
  size_t rowsBefore = 0;        // the usage-trace rows already listed
};

class JunkSearch {
 public:
  JunkSearch(platform::FileSystem& files, WorkFlags& flags) : files_(files), flags_(flags) {}

  // Walks every folder below the drive (files of the drive's root are not
  // examined; links are not entered) until the walk ends or Stop is pressed.
  // Returns the number of rows the list then holds.
  size_t run(const JunkSearchSetup& setup, JunkObserver& observer);

 private:
  bool enterable(const std::string& path, const platform::FolderEntry& entry) const;
  void found(JunkRow row);

  platform::FileSystem& files_;
  WorkFlags& flags_;
  const JunkSearchSetup* setup_ = nullptr;
  JunkObserver* observer_ = nullptr;
  size_t rows_ = 0;
};

class JunkDeleteObserver {
 public:
  virtual ~JunkDeleteObserver() = default;
  virtual void removeRow(size_t index) = 0;
};

// Deletes what every checked row names, top row first: a file (one that
// cannot be deleted is returned in `failed`), a folder with everything in
// it, or a registry value of HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE. Each
// checked row leaves `rows` (and the observer's list), whether or not its
// deletion worked; rows of another kind stay.
struct JunkDeletePorts {
  platform::FileSystem& files;
  settings::RegistryStore& store;
};
void deleteCheckedRows(std::vector<JunkRow>& rows, JunkDeletePorts ports,
                       JunkDeleteObserver& observer, std::vector<std::string>* failed);

inline constexpr const char* kDeleteDoneMessage = "선택한 항목을 삭제하였습니다.";

}  // namespace tools
