// FileSystem on the W functions. Every path goes through its extended-length
// form where that is safe, so names with trailing dots or spaces and paths of
// more than 260 characters are reached as they are. Folder listings use the
// basic information level with large fetches: one enumeration step gives
// name, attributes and size.
#pragma once

#include "platform/file_system.h"

namespace win32 {

class Win32FileSystem final : public platform::FileSystem {
 public:
  bool listFolder(const std::string& folder,
                  const std::function<bool(const platform::FolderEntry&)>& visit) override;
  bool exists(const std::string& path) override;
  std::optional<uint32_t> attributes(const std::string& path) override;
  std::optional<uint64_t> fileSize(const std::string& path) override;
  bool deleteFile(const std::string& path) override;
  bool removeFolder(const std::string& path) override;
  std::unique_ptr<platform::FileReader> openForReading(const std::string& path) override;
};

}  // namespace win32
