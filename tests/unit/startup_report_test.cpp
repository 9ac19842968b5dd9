#include "agent/startup_report.h"
#include "agent/agent_channel.h"

#include <gtest/gtest.h>

namespace {

using agent::StartupChange;
using Kind = agent::StartupChange::Kind;

TEST(StartupDiff, EveryAddChangeAndRemovalInNameOrder) {
  struct Case {
    const char* what;
    agent::StartupSnapshot before, after;
    std::vector<StartupChange> changes;
  };
  const Case cases[] = {
      {"nothing", {{"a", "1"}}, {{"a", "1"}}, {}},
      {"two adds at once", {{"a", "1"}}, {{"a", "1"}, {"b", "2"}, {"c", "3"}},
       {{Kind::Added, "b", "2"}, {Kind::Added, "c", "3"}}},
      {"a change", {{"a", "1"}}, {{"a", "2"}}, {{Kind::Changed, "a", "2"}}},
      {"two removals at once", {{"a", "1"}, {"b", "2"}, {"c", "3"}}, {{"b", "2"}},
       {{Kind::Removed, "a", "1"}, {Kind::Removed, "c", "3"}}},
      {"the last value removed", {{"a", "1"}}, {}, {{Kind::Removed, "a", "1"}}},
      {"a value replaced by another", {{"a", "1"}}, {{"b", "1"}},
       {{Kind::Removed, "a", "1"}, {Kind::Added, "b", "1"}}},
      {"the first value of an empty key", {}, {{"a", "1"}}, {{Kind::Added, "a", "1"}}},
      {"names differing in case are different", {{"A", "1"}}, {{"A", "1"}, {"a", "1"}},
       {{Kind::Added, "a", "1"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(agent::diffSnapshots(c.before, c.after), c.changes) << c.what;
}

TEST(StartupReportText, FormatsOfEachChange) {
  const std::string time = agent::reportTimeText(2008, 3, 15, 14, 5, 9);
  EXPECT_EQ(time, "15/03/2008  14:05:09");
  const std::string marker = agent::rootMarker("HKEY_CURRENT_USER", agent::kStartupKeyPath);
  EXPECT_EQ(marker, "#HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_EQ(agent::rootMarker("", "Software\\Run"), "Software\\Run");
  EXPECT_EQ(agent::startupReport({Kind::Added, "Evil", "C:\\e.exe"}, time, marker),
            "15/03/2008  14:05:09@ADD@Evil@C:\\e.exe" + marker);
  EXPECT_EQ(agent::startupReport({Kind::Changed, "Evil", "C:\\f.exe"}, time, marker),
            "\r\n 15/03/2008  14:05:09CHANGED: EvilC:\\f.exe" + marker);
  EXPECT_EQ(agent::startupReport({Kind::Removed, "Evil", "C:\\e.exe"}, time, marker),
            "\r\n 15/03/2008  14:05:09Errased: Evil = C:\\e.exe" + marker);
  EXPECT_EQ(agent::waitFailedReport(marker),
            "ERROR IN WAIT FOR SINGLE OBJECTerror in wait for single object" + marker);
}

TEST(StartupReportParse, FieldsStopAtTheFirstMissingOne) {
  using F = agent::StartupReportFields;
  struct Case {
    std::string report;
    F fields;
  };
  const Case cases[] = {
      {"t@ADD@name@data#HKEY_CURRENT_USER\\Run", {"t", "ADD", "name", "data#HKEY_CURRENT_USER\\Run"}},
      {"t@ADD@name@C:\\a@b.exe#M", {"t", "ADD", "name", "C:\\a@b.exe#M"}},
      {"\r\n tCHANGED: ab#M", {"\r\n tCHANGED: ab#M", std::nullopt, std::nullopt, std::nullopt}},
      {"t@ADD", {"t", "ADD", std::nullopt, std::nullopt}},
      {"t@ADD@name", {"t", "ADD", "name", std::nullopt}},
      {"@@@", {"", "", "", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(agent::parseStartupReport(c.report), c.fields) << c.report;
}

TEST(StartupReportQueue, EachReportOnceInOrder) {
  agent::StartupReportQueue queue;
  queue.push("a");
  queue.push("b");
  EXPECT_EQ(queue.takeAll(), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(queue.takeAll().empty());
}

}  // namespace
