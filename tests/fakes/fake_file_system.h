// In-memory FileSystem for native unit tests: a tree of folders and files
// under Windows paths ("C:\a\b"), names matched without regard to ASCII case
// as Windows does, entries listed in the order they were added.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace fakes {

class FakeFileSystem final : public platform::FileSystem {
 public:
  // Adds a file (and its missing folders).
  void addFile(const std::string& path, uint64_t size, uint32_t attributes = 0);
  // A file with these bytes (one added by size alone reads as that many zeros).
  void addFileWithContent(const std::string& path, std::string bytes, uint32_t attributes = 0);
  void addFolder(const std::string& path, uint32_t attributes = platform::kAttributeDirectory);
  // A folder link whose listing shows the entries of `target`.
  void addFolderLink(const std::string& path, const std::string& target);
  // Paths whose folder cannot be listed, or whose file cannot be deleted.
  void denyListing(const std::string& path) { deniedListing_.push_back(lower(path)); }

  bool listFolder(const std::string& folder,
                  const std::function<bool(const platform::FolderEntry&)>& visit) override;
  bool exists(const std::string& path) override;
  std::optional<uint32_t> attributes(const std::string& path) override;
  std::optional<uint64_t> fileSize(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool removeFolder(const std::string& path) override;
  std::unique_ptr<platform::FileReader> openForReading(const std::string& path) override;

  int listings() const { return listings_; }
  // The paths opened for reading, in order.
  const std::vector<std::string>& opened() const { return opened_; }

 private:
  struct Node {
    std::string name;  // as added
    uint32_t attributes = 0;
    uint64_t size = 0;
    std::string linkTarget;
    std::string content;  // used when its size matches
  };
  static std::string lower(const std::string& path);
  static std::string parentOf(const std::string& path);
  void ensureFolder(const std::string& path);

  std::map<std::string, Node> nodes_;                          // lower-case path -> node
  std::map<std::string, std::vector<std::string>> children_;  // lower-case folder -> paths
  std::vector<std::string> deniedListing_;
  int listings_ = 0;
  std::vector<std::string> opened_;
};

}  // namespace fakes
