// wildcardMatch, the notification filter and the decoding of change buffers,
// including buffers that lie about their own layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "agent/change_decoder.h"
#include "agent/notification_filter.h"

namespace {

using agent::ChangeKind;
using agent::Notification;
using agent::NotificationFilter;
namespace ff = agent::filter_flag;

TEST(WildcardMatch, Table) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"b.exe", "*.exe", true},     {"b.txt", "*.exe", false},   {"B.EXE", "*.exe", false},
      {"abc", "a?c", true},         {"ac", "a?c", false},        {"", "*", true},
      {"", "", true},               {"a", "", false},            {"abc", "a*", true},
      {"a", "a**", true},           {"aXbXc", "a*b*c", true},    {"abcbd", "a*bd", true},
      {"abcb", "a*bd", false},      {"mississippi", "m*iss*ppi", true},
      {"x.exe.txt", "*.exe", false}, {"abc", "*?", true},        {"a", "?*?", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(agent::wildcardMatch(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

TEST(NotificationFilter, PatternSubjectsAndHandlerTest) {
  const Notification exeDeep{ChangeKind::Added, "C:\\w\\sub\\b.exe", {}};
  const Notification txt{ChangeKind::Added, "C:\\w\\b.txt", {}};
  const Notification upper{ChangeKind::Added, "C:\\w\\B.EXE", {}};
  struct Case {
    const char* what;
    unsigned flags;
    const char* include;
    const char* exclude;
    Notification n;
    bool handlerSays;
    bool passes;
    int tests;
  };
  // `tests`: how often the handler's test ran (it runs before the patterns
  // with flag 16, after them otherwise, never with 32).
  const Case cases[] = {
      {"name only keeps b.exe anywhere", ff::kFileNameOnly, "*.exe", "", exeDeep, true, true, 1},
      {"name only drops b.txt", ff::kFileNameOnly, "*.exe", "", txt, true, false, 0},
      {"patterns are case-sensitive", ff::kFileNameOnly, "*.exe", "", upper, true, false, 0},
      {"full path pattern", ff::kFullPath, "C:\\w\\*", "", exeDeep, true, true, 1},
      {"no flag means full path", 0, "sub\\*", "", exeDeep, true, false, 0},
      {"relative path", ff::kRelativePath, "sub\\*", "", exeDeep, true, true, 1},
      {"exclude wins", ff::kFileNameOnly, "*", "*.txt", txt, true, false, 0},
      {"list of patterns", ff::kFileNameOnly, "*.com;*.txt", "", txt, true, true, 1},
      {"no patterns with flag 1", ff::kNoPatterns | ff::kFileNameOnly, "*.exe", "", txt, true, true, 1},
      {"handler test drops", ff::kFileNameOnly, "", "", txt, false, false, 1},
      {"handler test never runs with 32", ff::kFileNameOnly | ff::kNoHandlerTest, "", "", txt, false, true, 0},
      {"handler test first drops", ff::kFileNameOnly | ff::kHandlerTestFirst, "", "", txt, false, false, 1},
      {"handler test first runs before the patterns drop", ff::kFileNameOnly | ff::kHandlerTestFirst,
       "*.exe", "", txt, true, false, 1},
      {"handler test first runs once", ff::kFileNameOnly | ff::kHandlerTestFirst, "*.txt", "", txt, true,
       true, 1},
      {"rename passes on its new name", ff::kFileNameOnly, "*.exe", "",
       Notification{ChangeKind::Renamed, "C:\\w\\a.tmp", "C:\\w\\a.exe"}, true, true, 1},
      {"read errors always pass", ff::kFileNameOnly, "*.exe", "",
       Notification{ChangeKind::ReadError, "C:\\w", {}, 1022}, false, true, 0},
  };
  for (const Case& c : cases) {
    const NotificationFilter filter(c.flags, c.include, c.exclude, "C:\\w");
    int tests = 0;
    const bool passes = filter.passes(c.n, [&](const Notification&) {
      ++tests;
      return c.handlerSays;
    });
    EXPECT_EQ(passes, c.passes) << c.what;
    EXPECT_EQ(tests, c.tests) << c.what;
  }
}

// Builds FILE_NOTIFY_INFORMATION records; `next` of 0 on the last.
struct BufferBuilder {
  std::vector<uint8_t> bytes;
  size_t add(uint32_t action, const std::u16string& name, uint32_t nameBytes = UINT32_MAX) {
    const size_t start = bytes.size();
    const uint32_t length = nameBytes == UINT32_MAX ? static_cast<uint32_t>(name.size() * 2) : nameBytes;
    put(0);
    put(action);
    put(length);
    const size_t at = bytes.size();
    bytes.resize(at + name.size() * 2);
    std::memcpy(bytes.data() + at, name.data(), name.size() * 2);
    while (bytes.size() % 4) bytes.push_back(0);
    return start;
  }
  void link(size_t from, size_t to) { set(from, static_cast<uint32_t>(to - from)); }
  void set(size_t at, uint32_t v) { std::memcpy(bytes.data() + at, &v, 4); }
  void put(uint32_t v) {
    const size_t at = bytes.size();
    bytes.resize(at + 4);
    set(at, v);
  }
};

TEST(ChangeDecoder, WhatACompletedReadMeans) {
  using agent::ReadOutcome;
  struct Case {
    bool ok;
    unsigned long bytes;
    long error;
    ReadOutcome outcome;
  };
  const Case cases[] = {
      {true, 120, 0, ReadOutcome::Changes},
      {true, 0, 0, ReadOutcome::ChangesLost},     // the overflow signal: no records
      {false, 0, 1022, ReadOutcome::ChangesLost},  // ERROR_NOTIFY_ENUM_DIR
      {false, 0, 5, ReadOutcome::Failed},          // access denied: the folder went away
      {false, 0, 995, ReadOutcome::Failed},        // cancelled
  };
  for (const Case& c : cases)
    EXPECT_EQ(agent::classifyRead(c.ok, c.bytes, c.error), c.outcome) << c.ok << " " << c.bytes << " " << c.error;
}

TEST(ChangeDecoder, ActionsAndARenameInOneBatch) {
  BufferBuilder b;
  const size_t r1 = b.add(1, u"새 파일.txt");
  const size_t r2 = b.add(4, u"old.txt");
  const size_t r3 = b.add(5, u"new.txt");
  const size_t r4 = b.add(3, u"sub\\m.txt");
  const size_t r5 = b.add(2, u"gone");
  b.link(r1, r2);
  b.link(r2, r3);
  b.link(r3, r4);
  b.link(r4, r5);
  agent::ChangeDecoder decoder("C:\\w");
  bool malformed = true;
  const auto out = decoder.decode(b.bytes.data(), b.bytes.size(), &malformed);
  EXPECT_FALSE(malformed);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].kind, ChangeKind::Added);
  EXPECT_EQ(out[0].path, "C:\\w\\새 파일.txt");
  EXPECT_EQ(out[1].kind, ChangeKind::Renamed);
  EXPECT_EQ(out[1].path, "C:\\w\\old.txt");
  EXPECT_EQ(out[1].newPath, "C:\\w\\new.txt");
  EXPECT_EQ(out[2].kind, ChangeKind::Modified);
  EXPECT_EQ(out[2].path, "C:\\w\\sub\\m.txt");
  EXPECT_EQ(out[3].kind, ChangeKind::Removed);
}

TEST(ChangeDecoder, RenameAcrossTwoBatches) {
  agent::ChangeDecoder decoder("C:\\");
  bool malformed;
  BufferBuilder first;
  first.add(4, u"a.tmp");
  EXPECT_TRUE(decoder.decode(first.bytes.data(), first.bytes.size(), &malformed).empty());
  BufferBuilder second;
  second.add(5, u"a.exe");
  const auto out = decoder.decode(second.bytes.data(), second.bytes.size(), &malformed);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].kind, ChangeKind::Renamed);
  EXPECT_EQ(out[0].path, "C:\\a.tmp");
  EXPECT_EQ(out[0].newPath, "C:\\a.exe");
}

TEST(ChangeDecoder, AnOldNameWithoutItsNewNameIsARemoval) {
  BufferBuilder b;
  const size_t r1 = b.add(4, u"a");
  const size_t r2 = b.add(1, u"b");
  b.link(r1, r2);
  agent::ChangeDecoder decoder("C:\\");
  bool malformed;
  const auto out = decoder.decode(b.bytes.data(), b.bytes.size(), &malformed);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].kind, ChangeKind::Removed);
  EXPECT_EQ(out[0].path, "C:\\a");
  EXPECT_EQ(out[1].kind, ChangeKind::Added);
}

TEST(ChangeDecoder, HostileBuffers) {
  struct Case {
    const char* what;
    std::function<void(BufferBuilder&)> build;
    size_t cut;  // bytes taken off the end
    std::vector<std::string> added;
  };
  const Case cases[] = {
      {"next offset points outside",
       [](BufferBuilder& b) { b.set(b.add(1, u"a"), 4000); }, 0, {"C:\\a"}},
      {"next offset smaller than a header",
       [](BufferBuilder& b) { b.set(b.add(1, u"a"), 4); }, 0, {}},
      {"name length past the buffer",
       [](BufferBuilder& b) { b.add(1, u"a", 400); }, 0, {}},
      {"name length past its record",
       [](BufferBuilder& b) {
         const size_t r1 = b.add(1, u"ab", 40);
         b.link(r1, b.add(1, u"c"));
       }, 0, {"C:\\c"}},
      {"odd name length", [](BufferBuilder& b) { b.add(1, u"ab", 3); }, 0, {}},
      {"zero-length name", [](BufferBuilder& b) { b.add(1, u"", 0); }, 0, {}},
      {"buffer shorter than a header", [](BufferBuilder& b) { b.add(1, u"a"); }, 12, {}},
      {"empty buffer", [](BufferBuilder&) {}, 0, {}},
  };
  for (const Case& c : cases) {
    BufferBuilder b;
    c.build(b);
    b.bytes.resize(b.bytes.size() - std::min(c.cut, b.bytes.size()));
    agent::ChangeDecoder decoder("C:\\");
    bool malformed = false;
    std::vector<std::string> added;
    for (const Notification& n : decoder.decode(b.bytes.data(), b.bytes.size(), &malformed))
      added.push_back(n.path);
    EXPECT_TRUE(malformed) << c.what;
    EXPECT_EQ(added, c.added) << c.what;
  }
}

}  // namespace
