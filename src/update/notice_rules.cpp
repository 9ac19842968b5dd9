#include "update/notice_rules.h"

#include "common/text.h"

namespace update {

void NoticeFields::apply(std::string_view reply) {
  const std::vector<std::string> parts = text::split(reply, '|');
  for (size_t i = 0; i < parts.size() && i < field.size(); ++i) field[i] = parts[i];
}

int NoticeFields::pollPeriodMs() const {
  if (field[1].empty()) return kDefaultPollMs;
  const int period = text::atoiLike(field[1]);
  if (period < kMinPollMs) return kMinPollMs;
  if (period > kMaxPollMs) return kMaxPollMs;
  return period;
}

bool isNewNotice(std::string_view storedMessage, std::string_view number) {
  return storedMessage == "default" || text::atoiLike(storedMessage) < text::atoiLike(number);
}

}  // namespace update
