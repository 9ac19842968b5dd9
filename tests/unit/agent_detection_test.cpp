// Detection and trust rules of the agent, and the hand-over of findings one
// at a time, against an in-memory registry.
#include "agent/detection.h"
#include "agent/agent_change_handler.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes/fake_registry.h"
#include "settings/key_layout.h"

namespace {

using agent::AgentChannel;
using agent::AgentDetection;
using agent::DetectionTable;
using agent::FileAlert;
using agent::DetectionRow;
namespace ch = agent::channel;

struct Posts : agent::AlertPoster {
  void post(intptr_t window, unsigned message) override { posted.push_back({window, message}); }
  std::vector<std::pair<intptr_t, unsigned>> posted;
};
struct Sizes : agent::FileSizes {
  std::optional<uint64_t> sizeOf(const std::string& path) override {
    const auto it = sizes.find(path);
    if (it == sizes.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, uint64_t> sizes;
};
struct Log : agent::AgentLog {
  void logLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class Detection : public ::testing::Test {
 protected:
  Detection() { channel.publishMainWindow(4242); }

  AgentDetection& make(std::vector<DetectionRow> rows, size_t maxFindings = 10000) {
    detection.emplace(DetectionTable(std::move(rows)), channel, trust, posts, sizes, log, maxFindings);
    return *detection;
  }
  std::string value(const char* name) { return channel.read(name); }
  // What the main program does on every answer.
  void answer() { channel.clearPendingFlags(); }

  fakes::FakeRegistry registry;
  settings::RegistryStore store{registry};
  AgentChannel channel{store};
  agent::TrustedZone trust{store};
  Posts posts;
  Sizes sizes;
  Log log;
  std::optional<AgentDetection> detection;
};

TEST_F(Detection, FileRulesTable) {
  struct Case {
    const char* what;
    std::string rowPath, rowSize;
    std::string filePath;
    std::optional<uint64_t> fileSize;
    bool alert;
  };
  const Case cases[] = {
      {"default size matches any size", "C:\\a.exe", "default", "C:\\a.exe", 77, true},
      {"default size matches a vanished file", "C:\\a.exe", "default", "C:\\a.exe", std::nullopt, true},
      {"numeric size matches that size", "C:\\a.exe", "1536", "C:\\a.exe", 1536, true},
      {"numeric size rejects another size", "C:\\a.exe", "1536", "C:\\a.exe", 1537, false},
      {"numeric size rejects a vanished file", "C:\\a.exe", "0", "C:\\a.exe", std::nullopt, false},
      {"letter case differs", "C:\\a.exe", "default", "C:\\A.exe", 1, false},
      {"sizes past 2 GiB are not cut to 32 bits", "C:\\big", "3000000000", "C:\\big", 3000000000u, true},
  };
  for (const Case& c : cases) {
    posts.posted.clear();
    answer();
    sizes.sizes.clear();
    if (c.fileSize) sizes.sizes[c.filePath] = *c.fileSize;
    AgentDetection& d = make({DetectionRow{c.rowPath, c.rowSize, "Trojan.X"}});
    d.onFileAdded(c.filePath, "2008.03.15, 14:05:09");
    d.checkPendingFiles();
    EXPECT_EQ(posts.posted.size(), c.alert ? 1u : 0u) << c.what;
    EXPECT_EQ(value(ch::kFile), c.alert ? "1" : "0") << c.what;
  }
}

TEST_F(Detection, NewFileWritesCheckTimeAndPathThenAlertPayload) {
  sizes.sizes["C:\\x\\evil.exe"] = 10;
  AgentDetection& d = make({DetectionRow{"C:\\x\\evil.exe", "10", "Trojan.Evil"}});
  d.onFileAdded("C:\\x\\evil.exe", "2008.03.15, 14:05:09");
  EXPECT_EQ(value(ch::kFileCheck), "1");
  EXPECT_EQ(value(ch::kFileObject), "C:\\x\\evil.exe");
  EXPECT_TRUE(posts.posted.empty());  // nothing before the timer's check
  d.checkPendingFiles();
  EXPECT_EQ(channel.readFileAlert(),
            (FileAlert{"2008.03.15, 14:05:09", "Trojan.Evil", "C:\\x\\evil.exe", "10"}));
  ASSERT_EQ(posts.posted.size(), 1u);
  EXPECT_EQ(posts.posted[0], (std::pair<intptr_t, unsigned>{4242, agent::kWmAgentAlert}));
  // Not answered: later ticks raise nothing more for the same file.
  d.checkPendingFiles();
  d.checkPendingFiles();
  EXPECT_EQ(posts.posted.size(), 1u);
}

TEST_F(Detection, EveryFileOfABurstIsCheckedAndEveryAlertShowsItsOwnItem) {
  std::vector<DetectionRow> rows;
  for (int i = 0; i < 5; ++i) rows.push_back({std::string("C:\\b\\bad") + std::to_string(i), "default", std::string("N") + std::to_string(i)});
  AgentDetection& d = make(rows);
  for (int i = 0; i < 1000; ++i) {
    d.onFileAdded(std::string("C:\\b\\ok") + std::to_string(i), "t");
    if (i % 200 == 0) d.onFileAdded(std::string("C:\\b\\bad") + std::to_string(i / 200), "t");
  }
  d.checkPendingFiles();
  EXPECT_EQ(d.counters().filesChecked, 1005u);
  std::vector<std::string> shown;
  for (int round = 0; round < 10 && shown.size() < 5; ++round) {
    if (posts.posted.size() > shown.size()) {
      shown.push_back(channel.readFileAlert().path);  // what the alert window reads at its start
      answer();
    }
    d.deliverNextFinding();
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"C:\\b\\bad0", "C:\\b\\bad1", "C:\\b\\bad2",
                                             "C:\\b\\bad3", "C:\\b\\bad4"}));
}

TEST_F(Detection, APathListedTwiceRaisesOneAlertPerRowInTableOrder) {
  AgentDetection& d = make({DetectionRow{"C:\\p", "default", "Second"},
                            DetectionRow{"C:\\q", "default", "Other"},
                            DetectionRow{"C:\\p", "default", "First"}});
  d.onFileAdded("C:\\p", "t");
  d.checkPendingFiles();
  EXPECT_EQ(value(ch::kFileObject), "Second");
  answer();
  d.deliverNextFinding();
  EXPECT_EQ(value(ch::kFileObject), "First");
  EXPECT_EQ(posts.posted.size(), 2u);
}

TEST_F(Detection, TrustRules) {
  struct Case {
    const char* what;
    std::string trustedPath, trustedSize;
    uint64_t fileSize;
    bool trusted;
  };
  const Case cases[] = {
      {"trusted with default, any size", "C:\\t.exe", "default", 999, true},
      {"trusted at its size", "C:\\t.exe", "5", 5, true},
      {"trusted at another size", "C:\\t.exe", "6", 5, false},
      {"path differs in case", "C:\\T.exe", "default", 5, false},
  };
  for (const Case& c : cases) {
    store.deleteKey(keys::kRoot, keys::kConfidenceFile, true);
    trust.trustFile("C:\\other.exe", "default");
    trust.trustFile(c.trustedPath, c.trustedSize);
    trust.trustFile("C:\\zzz.exe", "default");
    EXPECT_EQ(trust.isFileTrusted("C:\\t.exe", std::to_string(c.fileSize)), c.trusted) << c.what;
  }
}

TEST_F(Detection, TwoTrustedFilesBothSuppressTheirAlerts) {
  trust.trustFile("C:\\one", "default");
  trust.trustFile("C:\\two", "default");
  AgentDetection& d = make({DetectionRow{"C:\\one", "default", "A"}, DetectionRow{"C:\\two", "default", "B"}});
  d.onFileAdded("C:\\one", "t");
  d.onFileAdded("C:\\two", "t");
  d.checkPendingFiles();
  EXPECT_TRUE(posts.posted.empty());
  EXPECT_EQ(value(ch::kFile), "0");
  EXPECT_TRUE(d.trustVerdict());
  d.resetTrustVerdict();
  EXPECT_FALSE(d.trustVerdict());
}

TEST_F(Detection, ATrustedFileDoesNotCancelAnUnansweredAlert) {
  trust.trustFile("C:\\fine", "default");
  AgentDetection& d = make({DetectionRow{"C:\\bad", "default", "A"}, DetectionRow{"C:\\fine", "default", "B"}});
  d.onFileAdded("C:\\bad", "t");
  d.checkPendingFiles();
  d.onFileAdded("C:\\fine", "t");
  d.checkPendingFiles();
  EXPECT_EQ(value(ch::kFile), "1");
}

TEST_F(Detection, AnItemTrustedWhileQueuedIsNotRaised) {
  AgentDetection& d = make({DetectionRow{"C:\\p", "default", "One"}, DetectionRow{"C:\\p", "default", "Two"}});
  d.onFileAdded("C:\\p", "t");
  d.checkPendingFiles();
  trust.trustFile("C:\\p", "default");  // the user's answer to the first alert
  answer();
  d.deliverNextFinding();
  EXPECT_EQ(posts.posted.size(), 1u);
}

TEST_F(Detection, AFullQueueDropsWithALogLine) {
  std::vector<DetectionRow> rows;
  for (int i = 0; i < 5; ++i) rows.push_back({std::string("C:\\f") + std::to_string(i), "default", "N"});
  AgentDetection& d = make(rows, /*maxFindings=*/2);
  for (int i = 0; i < 5; ++i) d.onFileAdded(std::string("C:\\f") + std::to_string(i), "t");
  d.checkPendingFiles();  // f0 and f1 queued, f2 to f4 dropped, then f0 raised
  EXPECT_EQ(d.counters().findingsDropped, 3u);
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[2], "Alert queue full, finding dropped: C:\\f4");
  EXPECT_EQ(posts.posted.size(), 1u);
}

TEST_F(Detection, StartupRulesTable) {
  const std::string marker = "#HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  struct Case {
    const char* what;
    std::string report;
    bool alert;
  };
  const Case cases[] = {
      {"a new value", "15/03/2008  14:05:09@ADD@Evil@C:\\evil.exe" + marker, true},
      {"own name", "t@ADD@TorvaneUpdate@x" + marker, false},
      {"own name in other case is not own", "t@ADD@torvaneupdate@x" + marker, true},
      {"trusted name", "t@ADD@Trusted@x" + marker, false},
      {"a change", "\r\n tCHANGED: Evilx" + marker, false},
      {"a removal", "\r\n tErrased: Evil = x" + marker, false},
  };
  trust.trustStartup("Trusted");
  for (const Case& c : cases) {
    posts.posted.clear();
    answer();
    AgentDetection& d = make({});
    d.onStartupReport(c.report);
    EXPECT_EQ(posts.posted.size(), c.alert ? 1u : 0u) << c.what;
    EXPECT_EQ(value(ch::kReg), c.alert ? "1" : "0") << c.what;
  }
}

TEST_F(Detection, StartupAlertPayloadAndNonAlertReports) {
  AgentDetection& d = make({});
  d.onStartupReport("15/03/2008  14:05:09@ADD@Evil@C:\\a@b.exe#HKEY_LOCAL_MACHINE\\Software\\Run");
  EXPECT_EQ(value(ch::kRegTime), "15/03/2008  14:05:09");
  EXPECT_EQ(value(ch::kRegName), "Evil");
  EXPECT_EQ(value(ch::kRegObject), "Startup registry");
  EXPECT_EQ(value(ch::kRegPath), "C:\\a@b.exe#HKEY_LOCAL_MACHINE\\Software\\Run");
  // A change while the alert waits leaves the payload alone ...
  d.onStartupReport("\r\n tCHANGED: Evily#HKEY_LOCAL_MACHINE\\Software\\Run");
  EXPECT_EQ(value(ch::kRegTime), "15/03/2008  14:05:09");
  // ... and once answered it shows as the whole text in "agent_reg_time".
  answer();
  d.onStartupReport("\r\n tCHANGED: Evilz#HKEY_LOCAL_MACHINE\\Software\\Run");
  EXPECT_EQ(value(ch::kRegTime), "\r\n tCHANGED: Evilz#HKEY_LOCAL_MACHINE\\Software\\Run");
  EXPECT_EQ(posts.posted.size(), 1u);
}

TEST_F(Detection, FileAndStartupFindingsTakeTurns) {
  AgentDetection& d = make({DetectionRow{"C:\\bad", "default", "Bad"}});
  d.onFileAdded("C:\\bad", "t");
  d.checkPendingFiles();
  d.onStartupReport("t@ADD@Evil@x#HKEY_CURRENT_USER\\Run");
  EXPECT_EQ(posts.posted.size(), 1u);  // the start-up alert waits for the file answer
  EXPECT_NE(value(ch::kReg), "1");
  answer();
  EXPECT_FALSE(d.deliverNextFinding());
  EXPECT_EQ(posts.posted.size(), 2u);
  EXPECT_EQ(value(ch::kReg), "1");
  EXPECT_EQ(value(ch::kRegName), "Evil");
}

TEST(DetectionTableIndex, KeepsTableOrderPerPath) {
  const DetectionTable table({{"C:\\a", "1", "x"}, {"C:\\b", "2", "y"}, {"C:\\a", "3", "z"}});
  const auto rows = table.rowsFor("C:\\a");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]->name, "x");
  EXPECT_EQ(rows[1]->name, "z");
  EXPECT_TRUE(table.rowsFor("c:\\a").empty());
}

}  // namespace

namespace {

TEST_F(Detection, ChangeHandlerLogsEachNewPathThenTellsTheChannel) {
  AgentDetection& d = make({});
  agent::AgentChangeHandler handler(d, log, [] { return std::string("2008.03.15, 14:05:09"); });
  handler.onFileAdded("C:\\새 폴더\\n.txt");
  EXPECT_EQ(log.lines, (std::vector<std::string>{"C:\\새 폴더\\n.txt"}));
  EXPECT_EQ(value(ch::kFileCheck), "1");
  EXPECT_EQ(value(ch::kFileTime), "2008.03.15, 14:05:09");
  EXPECT_EQ(value(ch::kFileObject), "C:\\새 폴더\\n.txt");
  EXPECT_EQ(d.queuedFiles(), 1u);
  handler.onReadError(1022, "C:\\");
  EXPECT_EQ(log.lines.back(), "Changes lost (buffer overflow), still watching: C:\\");
  handler.onWatchStopped("C:\\");
  EXPECT_EQ(log.lines.back(), "Stopped watching directory: C:\\");
}

TEST(ChannelFormats, FileTimeText) {
  EXPECT_EQ(agent::fileTimeText({2008, 3, 15, 14, 5, 9}), "2008.03.15, 14:05:09");
  EXPECT_EQ(agent::fileTimeText({2026, 12, 1, 0, 0, 0}), "2026.12.01, 00:00:00");
}

}  // namespace

namespace {

TEST_F(Detection, TrustLookupRootNames) {
  store.writeString(platform::RootKey::CurrentUser, keys::kConfidenceReg, "x", "1");
  store.writeString(platform::RootKey::ClassesRoot, keys::kConfidenceReg, "x", "1");
  using Mode = agent::TrustedZone::Mode;
  struct Case {
    const char* root;
    bool trusted;
  };
  const Case cases[] = {{"HKEY_CURRENT_USER", true},
                        {"HKEY_LOCAL_MACHINE", false},
                        {"HKEY_CLASSES_ROOT", false},
                        {"hkey_current_user", false},
                        {"", false}};
  for (const Case& c : cases)
    EXPECT_EQ(trust.isTrusted(c.root, keys::kConfidenceReg, Mode::Startup, "x"), c.trusted) << c.root;
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(OwnRunNames, SevenExactNames) {
  EXPECT_EQ(agent::ownRunNames().size(), 7u);
  for (std::string_view name : agent::ownRunNames()) EXPECT_TRUE(agent::isOwnRunName(name));
  EXPECT_FALSE(agent::isOwnRunName("Torvane_kor"));
  EXPECT_FALSE(agent::isOwnRunName("Torvane "));
}

}  // namespace
