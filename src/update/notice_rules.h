// The server-notice document ("/msg/control.html"): its fields, the
// keep-the-old-value rule of a shorter reply, the poll period and the
// decision whether a notice is new.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace update {

inline constexpr const char* kNoticePath = "/msg/control.html";
inline constexpr const char* kRunCounterPath = "/counter/run_exe.html";
inline constexpr const char* kReportCounterPath = "/counter/report.html";

// A notice needs a few KiB; a reply is read up to this many bytes.
inline constexpr size_t kNoticeBodyLimit = 16 * 1024;
inline constexpr int kDefaultPollMs = 60000;
// The period a reply may set is brought into this range: a period of 0 or a
// few milliseconds would poll the server without pause, a huge or negative
// one would stop the polling.
inline constexpr int kMinPollMs = 10000;
inline constexpr int kMaxPollMs = 24 * 60 * 60 * 1000;

struct NoticeFields {
  std::array<std::string, 5> field;  // 0 "Y", 1 period, 2 number, 3 text, 4 link

  // Replaces the fields the reply holds; the others keep their values.
  void apply(std::string_view reply);
  bool announced() const { return field[0] == "Y"; }
  int pollPeriodMs() const;
};

// Whether a notice with `number` (field 2) is new against the stored
// "Message" text ("default" when none was shown yet).
bool isNewNotice(std::string_view storedMessage, std::string_view number);

}  // namespace update
