#include "agent/notification_filter.h"

#include "common/text.h"

namespace agent {

bool wildcardMatch(std::string_view text, std::string_view pattern) {
  size_t t = 0, p = 0;
  size_t starP = std::string_view::npos, starT = 0;  // the one back-tracking point
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      if (++p == pattern.size()) return true;  // a trailing "*" takes the rest
      starP = p;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> parsePatternList(std::string_view patterns) {
  if (patterns.empty()) return {};
  return text::split(patterns, ';');
}

NotificationFilter::NotificationFilter(unsigned flags, std::string_view include,
                                       std::string_view exclude, std::string_view directory)
    : flags_(flags),
      include_(parsePatternList(include)),
      exclude_(parsePatternList(exclude)),
      directoryPrefix_(directory.size() +
                       (!directory.empty() && directory.back() == '\\' ? 0 : 1)) {}

std::string_view NotificationFilter::patternSubject(std::string_view path) const {
  if (flags_ & filter_flag::kFileNameOnly) return text::afterLastBackslash(path);
  if (flags_ & filter_flag::kRelativePath)
    return path.size() >= directoryPrefix_ ? path.substr(directoryPrefix_) : std::string_view();
  return path;
}

bool NotificationFilter::passesPatterns(std::string_view path) const {
  const std::string_view subject = patternSubject(path);
  bool included = include_.empty();
  for (const std::string& pattern : include_)
    if (!included && wildcardMatch(subject, pattern)) included = true;
  if (!included) return false;
  for (const std::string& pattern : exclude_)
    if (wildcardMatch(subject, pattern)) return false;
  return true;
}

bool NotificationFilter::passes(const Notification& n, const HandlerTest& handlerTest) const {
  using namespace filter_flag;
  if (n.kind == ChangeKind::ReadError || n.kind == ChangeKind::WatchStarted ||
      n.kind == ChangeKind::WatchStopped)
    return true;
  if ((flags_ & kNoPatterns) && (flags_ & kNoHandlerTest)) return true;
  const bool mayTest = !(flags_ & kNoHandlerTest) && handlerTest;
  if ((flags_ & kHandlerTestFirst) && mayTest && !handlerTest(n)) return false;
  if (!(flags_ & kNoPatterns)) {
    const bool pass = passesPatterns(n.path) ||
                      (n.kind == ChangeKind::Renamed && passesPatterns(n.newPath));
    if (!pass) return false;
  }
  if (!(flags_ & kHandlerTestFirst) && mayTest) return handlerTest(n);
  return true;
}

}  // namespace agent
