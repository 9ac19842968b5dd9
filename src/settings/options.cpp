#include "settings/options.h"

#include "settings/key_layout.h"

namespace settings {
namespace {

constexpr OptionSpec kSpecs[] = {
    {Option::AutoUpdate, keys::value::kAutoUpdate, 1055, OtherText::OffUnwritten},
    {Option::AutoRun, keys::value::kAutoRun, 1056, OtherText::OffUnwritten},
    {Option::AutoRemedy, keys::value::kAutoRemedy, 1057, OtherText::OffUnwritten},
    {Option::AutoMenu, keys::value::kAutoMenu, 1058, OtherText::OffUnwritten},
    {Option::RealTime, keys::value::kRealTime, 1059, OtherText::OnWritten},
    {Option::ScanPath, keys::value::kScanPath, 1076, OtherText::OffWritten},
    {Option::RealTimeMsg, keys::value::kRealTimeMsg, 1084, OtherText::OnWritten},
    {Option::TweakOptions, keys::value::kTweakOptions, 1085, OtherText::OnWritten},
};

}  // namespace

std::span<const OptionSpec> optionSpecs() { return kSpecs; }

const OptionSpec& specOf(Option option) {
  for (const OptionSpec& spec : kSpecs)
    if (spec.option == option) return spec;
  return kSpecs[0];
}

std::optional<Option> optionOfBox(int boxId) {
  for (const OptionSpec& spec : kSpecs)
    if (spec.boxId == boxId) return spec.option;
  return std::nullopt;
}

LoadedOption loadOption(const OptionSpec& spec, std::string_view stored) {
  if (stored == keys::kOn) return {1, std::nullopt};
  if (stored == keys::kOff) return {0, std::nullopt};
  switch (spec.otherText) {
    case OtherText::OnWritten: return {1, keys::kOn};
    case OtherText::OffWritten: return {0, keys::kOff};
    case OtherText::OffUnwritten: break;
  }
  return {0, std::nullopt};
}

std::string startupEntryText(std::string_view programPath) {
  return "\"" + std::string(programPath) + "\" boot";
}

void Options::load() {
  for (const OptionSpec& spec : kSpecs) {
    const std::string stored = store_.readString(keys::kRoot, keys::kMain, spec.valueName, keys::kDefault);
    const LoadedOption loaded = loadOption(spec, stored);
    flagRef(spec.option) = loaded.flag;
    if (loaded.write) store_.writeString(keys::kRoot, keys::kMain, spec.valueName, *loaded.write);
    actions_.setBox(spec.boxId, loaded.flag == 1);
    // The start-up check follows "AutoUpdate", whose flag it consults; the
    // agent starts with its option.
    if (spec.option == Option::AutoUpdate) actions_.startupUpdateCheck();
    if (spec.option == Option::RealTime && loaded.flag == 1) actions_.startAgent();
  }
}

void Options::write(Option option, const char* text) {
  store_.writeString(keys::kRoot, keys::kMain, specOf(option).valueName, text);
}

void Options::runAction(Option option, bool on) {
  switch (option) {
    case Option::RealTime: on ? actions_.startAgent() : actions_.stopAgent(); break;
    case Option::ScanPath:
      if (on) actions_.openScanLocationDialog();
      break;
    case Option::RealTimeMsg: on ? actions_.startNoticePoll() : actions_.stopNoticePoll(); break;
    case Option::TweakOptions:
      if (on) actions_.openFileTypeDialog();
      break;
    default: break;
  }
}

void Options::onBoxClicked(int boxId) {
  const auto option = optionOfBox(boxId);
  if (!option) return;
  int& flag = flagRef(*option);
  const bool on = flag != 1;
  if (*option == Option::AutoRun) {
    // The entry first, then the value and the flag.
    on ? actions_.writeStartupEntry() : actions_.deleteStartupEntry();
    write(*option, on ? keys::kOn : keys::kOff);
    flag = on ? 1 : 0;
    return;
  }
  flag = on ? 1 : 0;
  write(*option, on ? keys::kOn : keys::kOff);
  runAction(*option, on);
}

void Options::onTrayCommand(int commandId) {
  if (commandId == kTrayRealTime) {
    int& flag = flagRef(Option::RealTime);
    const bool on = flag == 0;
    flag = on ? 1 : 0;
    actions_.setBox(specOf(Option::RealTime).boxId, on);
    write(Option::RealTime, on ? keys::kOn : keys::kOff);
    on ? actions_.startAgent() : actions_.stopAgent();
  } else if (commandId == kTrayAutoRun) {
    int& flag = flagRef(Option::AutoRun);
    const bool on = flag != 1;
    actions_.setBox(specOf(Option::AutoRun).boxId, on);
    on ? actions_.writeStartupEntry() : actions_.deleteStartupEntry();
    write(Option::AutoRun, on ? keys::kOn : keys::kOff);
    flag = on ? 1 : 0;
  }
}

std::optional<bool> Options::trayChecked(int commandId) const {
  if (commandId == kTrayRealTime) return flag(Option::RealTime) == 1;
  if (commandId == kTrayAutoRun) return flag(Option::AutoRun) == 1;
  return std::nullopt;
}

}  // namespace settings
