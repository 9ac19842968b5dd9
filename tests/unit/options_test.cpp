#include "settings/options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fakes/fake_registry.h"
#include "settings/key_layout.h"

namespace {

using settings::Option;

// Records what the options asked of the window, in order.
class RecordingActions final : public settings::OptionActions {
 public:
  std::vector<std::string> calls;
  void setBox(int boxId, bool checked) override {
    calls.push_back("box " + std::to_string(boxId) + (checked ? " on" : " off"));
  }
  void startupUpdateCheck() override { calls.push_back("update check"); }
  void startAgent() override { calls.push_back("start agent"); }
  void stopAgent() override { calls.push_back("stop agent"); }
  void writeStartupEntry() override { calls.push_back("write entry"); }
  void deleteStartupEntry() override { calls.push_back("delete entry"); }
  void openScanLocationDialog() override { calls.push_back("scan location"); }
  void openFileTypeDialog() override { calls.push_back("file types"); }
  void startNoticePoll() override { calls.push_back("poll"); }
  void stopNoticePoll() override { calls.push_back("stop poll"); }
};

class OptionsTest : public ::testing::Test {
 protected:
  std::string stored(const char* name) {
    return store.readString(keys::kRoot, keys::kMain, name, "(absent)");
  }
  void set(const char* name, const char* text) { store.writeString(keys::kRoot, keys::kMain, name, text); }

  fakes::FakeRegistry registry;
  settings::RegistryStore store{registry};
  RecordingActions actions;
  settings::Options options{store, actions};
};

// Each option with "1", "0", "default" (absent) and another word: the
// flag, the box and what the loader writes back.
TEST_F(OptionsTest, LoaderTableOfEveryOption) {
  struct Row {
    Option option;
    const char* stored;  // nullptr: absent
    int flag;
    const char* afterwards;
  };
  const Row rows[] = {
      {Option::AutoUpdate, "1", 1, "1"},      {Option::AutoUpdate, "0", 0, "0"},
      {Option::AutoUpdate, nullptr, 0, "(absent)"}, {Option::AutoUpdate, "yes", 0, "yes"},
      {Option::AutoRun, "1", 1, "1"},         {Option::AutoRun, "0", 0, "0"},
      {Option::AutoRun, nullptr, 0, "(absent)"},    {Option::AutoRun, "on", 0, "on"},
      {Option::AutoRemedy, "1", 1, "1"},      {Option::AutoRemedy, "0", 0, "0"},
      {Option::AutoRemedy, nullptr, 0, "(absent)"}, {Option::AutoRemedy, "2", 0, "2"},
      {Option::AutoMenu, "1", 1, "1"},        {Option::AutoMenu, "0", 0, "0"},
      {Option::AutoMenu, nullptr, 0, "(absent)"},   {Option::AutoMenu, "true", 0, "true"},
      {Option::RealTime, "1", 1, "1"},        {Option::RealTime, "0", 0, "0"},
      {Option::RealTime, nullptr, 1, "1"},    {Option::RealTime, "word", 1, "1"},
      {Option::ScanPath, "1", 1, "1"},        {Option::ScanPath, "0", 0, "0"},
      {Option::ScanPath, nullptr, 0, "0"},    {Option::ScanPath, "word", 0, "0"},
      {Option::RealTimeMsg, "1", 1, "1"},     {Option::RealTimeMsg, "0", 0, "0"},
      {Option::RealTimeMsg, nullptr, 1, "1"}, {Option::RealTimeMsg, "word", 1, "1"},
      {Option::TweakOptions, "1", 1, "1"},    {Option::TweakOptions, "0", 0, "0"},
      {Option::TweakOptions, nullptr, 1, "1"}, {Option::TweakOptions, " 1", 1, "1"},
  };
  for (const Row& row : rows) {
    fakes::FakeRegistry fresh;
    settings::RegistryStore freshStore{fresh};
    RecordingActions recorded;
    settings::Options loaded{freshStore, recorded};
    const settings::OptionSpec& spec = settings::specOf(row.option);
    if (row.stored) freshStore.writeString(keys::kRoot, keys::kMain, spec.valueName, row.stored);
    loaded.load();
    const std::string label = std::string(spec.valueName) + "=" + (row.stored ? row.stored : "(absent)");
    EXPECT_EQ(loaded.flag(row.option), row.flag) << label;
    EXPECT_EQ(freshStore.readString(keys::kRoot, keys::kMain, spec.valueName, "(absent)"), row.afterwards) << label;
    const std::string box = "box " + std::to_string(spec.boxId) + (row.flag ? " on" : " off");
    EXPECT_NE(std::find(recorded.calls.begin(), recorded.calls.end(), box), recorded.calls.end()) << label;
  }
}

TEST_F(OptionsTest, LoaderRunsTheUpdateCheckAfterAutoUpdateAndStartsTheAgentInItsPlace) {
  set("AutoUpdate", "1");
  set("RealTime", "1");
  options.load();
  const std::vector<std::string> expected = {
      "box 1055 on", "update check", "box 1056 off", "box 1057 off", "box 1058 off",
      "box 1059 on", "start agent",  "box 1076 off", "box 1084 on",  "box 1085 on"};
  EXPECT_EQ(actions.calls, expected);
}

TEST_F(OptionsTest, LoaderWithRealTimeOffStartsNoAgent) {
  set("RealTime", "0");
  options.load();
  EXPECT_EQ(std::count(actions.calls.begin(), actions.calls.end(), "start agent"), 0);
}

// A click toggles the option's own flag (the box has toggled itself), writes
// the value and runs the action.
TEST_F(OptionsTest, ClickHandlersTable) {
  struct Row {
    int box;
    const char* before;
    const char* after;
    std::vector<std::string> calls;
  };
  const Row rows[] = {
      {1055, "0", "1", {}},
      {1055, "1", "0", {}},
      {1056, "0", "1", {"write entry"}},
      {1056, "1", "0", {"delete entry"}},
      {1057, "0", "1", {}},
      {1058, "1", "0", {}},
      {1059, "0", "1", {"start agent"}},
      {1059, "1", "0", {"stop agent"}},
      {1076, "0", "1", {"scan location"}},
      {1076, "1", "0", {}},
      {1084, "0", "1", {"poll"}},
      {1084, "1", "0", {"stop poll"}},
      {1085, "0", "1", {"file types"}},
      {1085, "1", "0", {}},
  };
  for (const Row& row : rows) {
    fakes::FakeRegistry fresh;
    settings::RegistryStore freshStore{fresh};
    RecordingActions recorded;
    settings::Options clicked{freshStore, recorded};
    const auto option = settings::optionOfBox(row.box);
    ASSERT_TRUE(option);
    const char* name = settings::specOf(*option).valueName;
    freshStore.writeString(keys::kRoot, keys::kMain, name, row.before);
    clicked.load();
    recorded.calls.clear();
    clicked.onBoxClicked(row.box);
    const std::string label = std::to_string(row.box) + " from " + row.before;
    EXPECT_EQ(freshStore.readString(keys::kRoot, keys::kMain, name, "(absent)"), row.after) << label;
    EXPECT_EQ(clicked.flag(*option), row.after[0] - '0') << label;
    EXPECT_EQ(recorded.calls, row.calls) << label;
  }
}

TEST_F(OptionsTest, TrayCommandsSetTheBoxAndTheirCheckMarksFollowTheFlags) {
  set("RealTime", "1");
  set("AutoRun", "0");
  options.load();
  EXPECT_EQ(options.trayChecked(32784), true);
  EXPECT_EQ(options.trayChecked(32787), false);
  EXPECT_EQ(options.trayChecked(32780), std::nullopt);

  actions.calls.clear();
  options.onTrayCommand(32784);
  EXPECT_EQ(actions.calls, (std::vector<std::string>{"box 1059 off", "stop agent"}));
  EXPECT_EQ(stored("RealTime"), "0");
  EXPECT_EQ(options.trayChecked(32784), false);
  actions.calls.clear();
  options.onTrayCommand(32784);
  EXPECT_EQ(actions.calls, (std::vector<std::string>{"box 1059 on", "start agent"}));
  EXPECT_EQ(stored("RealTime"), "1");

  actions.calls.clear();
  options.onTrayCommand(32787);
  EXPECT_EQ(actions.calls, (std::vector<std::string>{"box 1056 on", "write entry"}));
  EXPECT_EQ(stored("AutoRun"), "1");
  EXPECT_EQ(options.trayChecked(32787), true);
  actions.calls.clear();
  options.onTrayCommand(32787);
  EXPECT_EQ(actions.calls, (std::vector<std::string>{"box 1056 off", "delete entry"}));
  EXPECT_EQ(stored("AutoRun"), "0");
}

TEST(StartupEntry, IsTheQuotedPathFollowedByBoot) {
  EXPECT_EQ(settings::startupEntryText("C:\\Program Files\\Torvane 2008\\torvane.exe"),
            "\"C:\\Program Files\\Torvane 2008\\torvane.exe\" boot");
  EXPECT_EQ(settings::startupEntryText("C:\\t.exe"), "\"C:\\t.exe\" boot");
}

}  // namespace
