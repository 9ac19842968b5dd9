#include "fakes/fake_file_system.h"

#include <algorithm>

#include "common/text.h"

namespace fakes {

using platform::kAttributeDirectory;
using platform::kAttributeReadOnly;
using platform::kAttributeReparsePoint;

std::string FakeFileSystem::lower(const std::string& path) {
  std::string p = text::toLowerAscii(path);
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  return p;
}

std::string FakeFileSystem::parentOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return {};
  if (slash == 2) return path.substr(0, 3);  // "C:\"
  return path.substr(0, slash);
}

void FakeFileSystem::ensureFolder(const std::string& path) {
  const std::string key = lower(path);
  if (nodes_.count(key)) return;
  const std::string parent = parentOf(path);
  if (!parent.empty() && parent != path) {
    ensureFolder(parent);
    children_[lower(parent)].push_back(key);
  }
  const size_t slash = path.rfind('\\');
  nodes_[key] = Node{slash == std::string::npos || path.size() <= 3 ? path : path.substr(slash + 1),
                     kAttributeDirectory, 0, {}};
}

void FakeFileSystem::addFile(const std::string& path, uint64_t size, uint32_t attributes) {
  const std::string parent = parentOf(path);
  ensureFolder(parent);
  const std::string key = lower(path);
  if (!nodes_.count(key)) children_[lower(parent)].push_back(key);
  nodes_[key] = Node{path.substr(path.rfind('\\') + 1), attributes, size, {}};
}

void FakeFileSystem::addFileWithContent(const std::string& path, std::string bytes,
                                        uint32_t attributes) {
  addFile(path, bytes.size(), attributes);
  nodes_[lower(path)].content = std::move(bytes);
}

namespace {

class StringReader final : public platform::FileReader {
 public:
  explicit StringReader(std::string bytes) : bytes_(std::move(bytes)) {}
  size_t read(void* buffer, size_t size) override {
    const size_t n = std::min(size, bytes_.size() - at_);
    std::copy_n(bytes_.data() + at_, n, static_cast<char*>(buffer));
    at_ += n;
    return n;
  }

 private:
  std::string bytes_;
  size_t at_ = 0;
};

}  // namespace

std::unique_ptr<platform::FileReader> FakeFileSystem::openForReading(const std::string& path) {
  opened_.push_back(path);
  const auto node = nodes_.find(lower(path));
  if (node == nodes_.end() || (node->second.attributes & kAttributeDirectory)) return nullptr;
  const Node& n = node->second;
  return std::make_unique<StringReader>(n.content.size() == n.size ? n.content
                                                                   : std::string(n.size, '\0'));
}

void FakeFileSystem::addFolder(const std::string& path, uint32_t attributes) {
  ensureFolder(path);
  nodes_[lower(path)].attributes = attributes | kAttributeDirectory;
}

void FakeFileSystem::addFolderLink(const std::string& path, const std::string& target) {
  addFolder(path, kAttributeDirectory | kAttributeReparsePoint);
  nodes_[lower(path)].linkTarget = lower(target);
}

bool FakeFileSystem::listFolder(const std::string& folder,
                                const std::function<bool(const platform::FolderEntry&)>& visit) {
  std::string key = lower(folder);
  const auto node = nodes_.find(key);
  if (node == nodes_.end() || !(node->second.attributes & kAttributeDirectory)) return false;
  if (std::count(deniedListing_.begin(), deniedListing_.end(), key)) return false;
  ++listings_;
  if (!node->second.linkTarget.empty()) key = node->second.linkTarget;
  if (!visit({".", kAttributeDirectory, 0}) || !visit({"..", kAttributeDirectory, 0})) return true;
  const std::vector<std::string> children = children_[key];  // visit may not change it, but be safe
  for (const std::string& child : children) {
    const auto it = nodes_.find(child);
    if (it == nodes_.end()) continue;
    if (!visit({it->second.name, it->second.attributes, it->second.size})) break;
  }
  return true;
}

bool FakeFileSystem::exists(const std::string& path) { return nodes_.count(lower(path)) != 0; }

std::optional<uint32_t> FakeFileSystem::attributes(const std::string& path) {
  const auto it = nodes_.find(lower(path));
  if (it == nodes_.end()) return std::nullopt;
  return it->second.attributes;
}

std::optional<uint64_t> FakeFileSystem::fileSize(const std::string& path) {
  const auto it = nodes_.find(lower(path));
  if (it == nodes_.end()) return std::nullopt;
  return (it->second.attributes & kAttributeDirectory) ? 0 : it->second.size;
}

bool FakeFileSystem::deleteFile(const std::string& path) {
  const std::string key = lower(path);
  const auto it = nodes_.find(key);
  if (it == nodes_.end() || (it->second.attributes & kAttributeDirectory) ||
      (it->second.attributes & kAttributeReadOnly))
    return false;
  nodes_.erase(it);
  auto& siblings = children_[lower(parentOf(path))];
  siblings.erase(std::remove(siblings.begin(), siblings.end(), key), siblings.end());
  return true;
}

bool FakeFileSystem::removeFolder(const std::string& path) {
  const std::string key = lower(path);
  const auto it = nodes_.find(key);
  if (it == nodes_.end() || !(it->second.attributes & kAttributeDirectory)) return false;
  const bool isLink = !it->second.linkTarget.empty();
  if (!isLink && !children_[key].empty()) return false;
  nodes_.erase(it);
  children_.erase(key);
  auto& siblings = children_[lower(parentOf(path))];
  siblings.erase(std::remove(siblings.begin(), siblings.end(), key), siblings.end());
  return true;
}

}  // namespace fakes
