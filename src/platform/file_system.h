// The file-system port: folder enumeration, file status, existence and
// deletion, on UTF-8 paths.
//
// Contract:
// - Paths are absolute Windows paths ("C:\folder\name"); the adapter reaches
//   names that the Win32 path rules would otherwise alter (trailing dots and
//   spaces, more than 260 characters).
// - listFolder hands out each entry with what the enumeration itself reports
//   (no extra status query per entry), "." and ".." included, as the platform
//   gives them. It returns false when the folder cannot be opened.
// - openForReading shares the file with writers and deleters, and refuses
//   folders; the reader it gives is closed when destroyed.
// - Failures are reported by the result only; nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// FILE_ATTRIBUTE_* numbers as Windows defines them.
enum FileAttribute : uint32_t {
  kAttributeReadOnly = 0x1,
  kAttributeHidden = 0x2,
  kAttributeSystem = 0x4,
  kAttributeDirectory = 0x10,
  kAttributeReparsePoint = 0x400,
};

struct FolderEntry {
  std::string name;
  uint32_t attributes = 0;
  uint64_t size = 0;  // 0 for a folder

  bool isFolder() const { return (attributes & kAttributeDirectory) != 0; }
  // A junction, symbolic link or mount point: walking or deleting it must not
  // reach what it points to. Adapters set kAttributeReparsePoint only for
  // these; other reparse points (cloud placeholders, for example) are plain
  // files and folders to the system.
  bool isLink() const { return (attributes & kAttributeReparsePoint) != 0; }
};

// A file open for sequential reading.
class FileReader {
 public:
  virtual ~FileReader() = default;
  // Bytes read into `buffer`: 0 at the end of the file or on a read error.
  virtual size_t read(void* buffer, size_t size) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Calls visit for each entry until it returns false.
  virtual bool listFolder(const std::string& folder,
                          const std::function<bool(const FolderEntry&)>& visit) = 0;
  // A file or a folder exists at the path.
  virtual bool exists(const std::string& path) = 0;
  // The attributes of the file or folder itself (a link is not followed);
  // nullopt when it does not exist.
  virtual std::optional<uint32_t> attributes(const std::string& path) = 0;
  // The size the file-status query reports (0 for a folder); nullopt when the
  // path cannot be queried.
  virtual std::optional<uint64_t> fileSize(const std::string& path) = 0;
  // Deletes a file or a file link (a read-only file is not deleted).
  virtual bool deleteFile(const std::string& path) = 0;
  // Removes an empty folder, or a folder link without touching its target.
  virtual bool removeFolder(const std::string& path) = 0;
  // Null when the file cannot be opened for reading (missing, a folder, locked).
  virtual std::unique_ptr<FileReader> openForReading(const std::string& path) = 0;
};

// The entries of a folder, "." and ".." left out, read at once so that no
// enumeration stays open while the caller works through them. Empty when the
// folder cannot be listed.
inline std::vector<FolderEntry> folderEntries(FileSystem& files, const std::string& folder) {
  std::vector<FolderEntry> entries;
  files.listFolder(folder, [&](const FolderEntry& e) {
    if (e.name != "." && e.name != "..") entries.push_back(e);
    return true;
  });
  return entries;
}

// The whole file read through `files`, sized by its reported size (it may
// still grow or shrink while it is read). False (and *out empty) when the
// file cannot be opened.
inline bool readWholeFile(FileSystem& files, const std::string& path, std::string* out) {
  out->clear();
  const std::unique_ptr<FileReader> file = files.openForReading(path);
  if (!file) return false;
  size_t used = 0;
  const uint64_t reported = files.fileSize(path).value_or(0);
  out->resize(reported < (uint64_t{1} << 32) ? static_cast<size_t>(reported) + 1 : size_t{1} << 16);
  while (true) {
    if (used == out->size()) out->resize(out->size() * 2);
    const size_t got = file->read(out->data() + used, out->size() - used);
    if (got == 0) break;
    used += got;
  }
  out->resize(used);
  return true;
}

}  // namespace platform
