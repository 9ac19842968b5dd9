// Decoding of the buffer a directory-change read fills: FILE_NOTIFY_INFORMATION
// records (next-entry offset, action, name length in bytes, UTF-16 name),
// walked by their offsets and turned into notifications with full UTF-8 paths.
// Platform-free so that hostile buffers can be tested natively.
//
// A rename arrives as an old-name record followed by a new-name record; the
// pair may be split across two reads, so the decoder keeps an old name that
// ends a buffer until the next one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "agent/notification_filter.h"

namespace agent {

// FILE_ACTION_* values.
namespace file_action {
inline constexpr uint32_t kAdded = 1;
inline constexpr uint32_t kRemoved = 2;
inline constexpr uint32_t kModified = 3;
inline constexpr uint32_t kRenamedOldName = 4;
inline constexpr uint32_t kRenamedNewName = 5;
}  // namespace file_action

// What a completed directory-change read means.
enum class ReadOutcome {
  Changes,      // records to decode
  ChangesLost,  // the system dropped changes (no records, or ERROR_NOTIFY_ENUM_DIR): keep watching
  Failed,       // any other error: the watch ends
};
inline constexpr long kErrorNotifyEnumDir = 1022;
ReadOutcome classifyRead(bool succeeded, unsigned long bytes, long error);

struct NotifyRecord {
  uint32_t action;
  std::u16string name;
  bool operator==(const NotifyRecord&) const = default;
};

// The records of `size` bytes of buffer. The walk ends at a zero next-entry
// offset, or where a record would reach outside the buffer; *malformed is set
// when anything had to be refused (a record outside the buffer, a name that
// runs past its record or the buffer, an odd name length, an empty name).
std::vector<NotifyRecord> parseNotifyBuffer(const uint8_t* data, size_t size, bool* malformed);

class ChangeDecoder {
 public:
  explicit ChangeDecoder(std::string directory);

  // Notifications (kinds Added, Removed, Modified, Renamed) of one buffer.
  std::vector<Notification> decode(const uint8_t* data, size_t size, bool* malformed);
  // After lost changes an old name cannot be paired any more.
  void forgetPendingRename() { pendingOldPath_.reset(); }

  std::string fullPath(const std::u16string& name) const;

 private:
  std::string directory_;  // ends in "\"
  std::optional<std::string> pendingOldPath_;
};

}  // namespace agent
