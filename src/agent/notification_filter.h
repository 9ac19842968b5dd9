// Which notifications of a watch reach its handler: name patterns ("*" and
// "?", case-sensitive) on part of the path, and the handler's own test, as the
// watch's filter flags choose.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "agent/change_handler.h"

namespace agent {

namespace filter_flag {
inline constexpr unsigned kNoPatterns = 1;         // patterns are not tested
inline constexpr unsigned kFullPath = 2;           // patterns see the full path (the fallback)
inline constexpr unsigned kRelativePath = 4;       // ... the path below the watched directory
inline constexpr unsigned kFileNameOnly = 8;       // ... the name after the last "\"
inline constexpr unsigned kHandlerTestFirst = 16;  // handler's test before the patterns
inline constexpr unsigned kNoHandlerTest = 32;     // handler's test never runs
inline constexpr unsigned kNoStartedNotice = 64;   // onWatchStarted is not delivered
inline constexpr unsigned kNoStoppedNotice = 128;  // onWatchStopped is not delivered
}  // namespace filter_flag

// "*" matches any run of characters, "?" any one; everything else itself.
bool wildcardMatch(std::string_view text, std::string_view pattern);

// Patterns separated by ";"; an empty text is no list.
std::vector<std::string> parsePatternList(std::string_view patterns);

struct Notification {
  ChangeKind kind;
  std::string path;
  std::string newPath;  // renames only
  long error = 0;       // read errors and watch starts
};

class NotificationFilter {
 public:
  using HandlerTest = std::function<bool(const Notification&)>;

  NotificationFilter(unsigned flags, std::string_view include, std::string_view exclude,
                     std::string_view directory);

  bool passes(const Notification& n, const HandlerTest& handlerTest) const;
  unsigned flags() const { return flags_; }

 private:
  std::string_view patternSubject(std::string_view path) const;
  bool passesPatterns(std::string_view path) const;

  unsigned flags_;
  std::vector<std::string> include_;
  std::vector<std::string> exclude_;
  size_t directoryPrefix_;  // characters of a full path before the relative path
};

}  // namespace agent
