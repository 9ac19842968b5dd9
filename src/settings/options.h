// The eight on/off options: how the loader reads each stored text, what a
// click on its box or one of the two tray commands does, and the Windows
// start-up entry. The window supplies the actions (agent, start-up entry,
// dialogs, notice poll, boxes) through OptionActions, so every rule here
// runs the same against the real registry and against a test's fake.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/registry_store.h"

namespace settings {

enum class Option { AutoUpdate, AutoRun, AutoRemedy, AutoMenu, RealTime, ScanPath, RealTimeMsg, TweakOptions };
inline constexpr size_t kOptionCount = 8;

// What the loader makes of a text that is neither "1" nor "0" (or absent).
enum class OtherText {
  OffUnwritten,  // off, nothing written
  OnWritten,     // on, "1" written
  OffWritten,    // off, "0" written
};

struct OptionSpec {
  Option option;
  const char* valueName;
  int boxId;
  OtherText otherText;
};

// In the loader's order.
std::span<const OptionSpec> optionSpecs();
const OptionSpec& specOf(Option option);
std::optional<Option> optionOfBox(int boxId);

// What the loader makes of one stored text: the flag and the text to write
// back (nullopt: nothing written).
struct LoadedOption {
  int flag = 0;
  std::optional<std::string> write;
};
LoadedOption loadOption(const OptionSpec& spec, std::string_view stored);

// The data of the "Torvane_KOR" Run entry: the quoted program path, then " boot".
std::string startupEntryText(std::string_view programPath);

inline constexpr int kTrayRealTime = 32784;
inline constexpr int kTrayAutoRun = 32787;

class OptionActions {
 public:
  virtual ~OptionActions() = default;
  virtual void setBox(int boxId, bool checked) = 0;
  // The connection test, and when it succeeds the start-up update check.
  virtual void startupUpdateCheck() = 0;
  virtual void startAgent() = 0;
  virtual void stopAgent() = 0;
  virtual void writeStartupEntry() = 0;
  virtual void deleteStartupEntry() = 0;
  virtual void openScanLocationDialog() = 0;
  virtual void openFileTypeDialog() = 0;
  virtual void startNoticePoll() = 0;
  virtual void stopNoticePoll() = 0;
};

class Options {
 public:
  Options(RegistryStore& store, OptionActions& actions) : store_(store), actions_(actions) {}

  // Reads all eight in order, sets the boxes and runs the start-up actions.
  void load();
  // A click on an option's box (the box has toggled itself already).
  void onBoxClicked(int boxId);
  // Tray command 32784 or 32787.
  void onTrayCommand(int commandId);
  // The check mark of a tray command.
  std::optional<bool> trayChecked(int commandId) const;

  int flag(Option option) const { return flags_[static_cast<size_t>(option)]; }

 private:
  int& flagRef(Option option) { return flags_[static_cast<size_t>(option)]; }
  void write(Option option, const char* text);
  void runAction(Option option, bool on);

  RegistryStore& store_;
  OptionActions& actions_;
  std::array<int, kOptionCount> flags_{};
};

}  // namespace settings
