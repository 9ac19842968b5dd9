#include "agent/change_decoder.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"

namespace agent {
namespace {

constexpr size_t kHeaderBytes = 12;  // NextEntryOffset, Action, FileNameLength

uint32_t readU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;  // little-endian on every platform this runs on
}

}  // namespace

ReadOutcome classifyRead(bool succeeded, unsigned long bytes, long error) {
  if (succeeded) return bytes == 0 ? ReadOutcome::ChangesLost : ReadOutcome::Changes;
  return error == kErrorNotifyEnumDir ? ReadOutcome::ChangesLost : ReadOutcome::Failed;
}

std::vector<NotifyRecord> parseNotifyBuffer(const uint8_t* data, size_t size, bool* malformed) {
  std::vector<NotifyRecord> records;
  *malformed = false;
  size_t offset = 0;
  while (true) {
    if (size < kHeaderBytes || offset > size - kHeaderBytes) {
      *malformed = true;
      break;
    }
    const uint8_t* record = data + offset;
    const uint32_t next = readU32(record);
    const uint32_t action = readU32(record + 4);
    const uint32_t nameBytes = readU32(record + 8);
    if (next != 0 && next < kHeaderBytes) {  // would step back into this record
      *malformed = true;
      break;
    }
    // The name must lie within its record (up to the next one) and the buffer.
    const size_t room =
        (next != 0 ? std::min<size_t>(next, size - offset) : size - offset) - kHeaderBytes;
    if (nameBytes > room || nameBytes % 2 != 0 || nameBytes == 0) {
      *malformed = true;
    } else {
      std::u16string name(nameBytes / 2, u'\0');
      std::memcpy(name.data(), record + kHeaderBytes, nameBytes);
      records.push_back(NotifyRecord{action, std::move(name)});
    }
    if (next == 0) break;
    offset += next;
  }
  return records;
}

ChangeDecoder::ChangeDecoder(std::string directory) : directory_(std::move(directory)) {
  if (directory_.empty() || directory_.back() != '\\') directory_ += '\\';
}

std::string ChangeDecoder::fullPath(const std::u16string& name) const {
  return directory_ + text::utf16ToUtf8(name);
}

std::vector<Notification> ChangeDecoder::decode(const uint8_t* data, size_t size, bool* malformed) {
  std::vector<Notification> out;
  for (const NotifyRecord& r : parseNotifyBuffer(data, size, malformed)) {
    const std::string path = fullPath(r.name);
    if (pendingOldPath_) {
      std::string oldPath = std::move(*pendingOldPath_);
      pendingOldPath_.reset();
      if (r.action == file_action::kRenamedNewName) {
        out.push_back(Notification{ChangeKind::Renamed, std::move(oldPath), path});
        continue;
      }
      // An old name without its new name: the name is gone from here.
      out.push_back(Notification{ChangeKind::Removed, std::move(oldPath), {}});
    }
    switch (r.action) {
      case file_action::kAdded:
        out.push_back(Notification{ChangeKind::Added, path, {}});
        break;
      case file_action::kRemoved:
        out.push_back(Notification{ChangeKind::Removed, path, {}});
        break;
      case file_action::kModified:
        out.push_back(Notification{ChangeKind::Modified, path, {}});
        break;
      case file_action::kRenamedOldName:
        pendingOldPath_ = path;  // completed by the next record, here or in the next buffer
        break;
      default:  // a new name alone, or an action this system does not know
        break;
    }
  }
  return out;
}

}  // namespace agent
