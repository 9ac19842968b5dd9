#include "agent/agent_channel.h"

#include <cstdio>

#include "settings/key_layout.h"

namespace agent {

using platform::RegistryAccess;

namespace {
constexpr const char* kMachineRootName = "HKEY_LOCAL_MACHINE";  // where the trusted zone lives
}  // namespace

std::string fileTimeText(const LocalTime& t) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d.%02d.%02d, %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buffer;
}

// --- AgentChannel ---

void AgentChannel::publishAgentWindow(intptr_t window) {
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kHwndAgent, settings::handleText(window));
}

void AgentChannel::publishMainWindow(intptr_t window) {
  store_.writeString(keys::kRoot, keys::kMain, keys::value::kHwnd, settings::handleText(window));
}

intptr_t AgentChannel::mainWindow() {
  return settings::parseHandleText(
      store_.readString(keys::kRoot, keys::kMain, keys::value::kHwnd, keys::kNoWindow));
}

intptr_t AgentChannel::agentWindow() {
  return settings::parseHandleText(
      store_.readString(keys::kRoot, keys::kMain, keys::value::kHwndAgent, keys::kNoWindow));
}

void AgentChannel::write(const char* value, std::string_view text) {
  store_.writeString(keys::kRoot, keys::kConfidence, value, text);
}

std::string AgentChannel::read(const char* value) {
  return store_.readString(keys::kRoot, keys::kConfidence, value, keys::kDefault);
}

void AgentChannel::noteNewFile(std::string_view path, std::string_view time) {
  write(channel::kFileCheck, keys::kOn);
  write(channel::kFileTime, time);
  write(channel::kFileObject, path);
}

void AgentChannel::raiseFileAlert(const FileAlert& alert) {
  write(channel::kFileTime, alert.time);
  write(channel::kFileObject, alert.object);
  write(channel::kFileName, alert.path);
  write(channel::kFileSize, alert.size);
  write(channel::kFile, keys::kOn);
}

void AgentChannel::clearFileFlag() { write(channel::kFile, keys::kOff); }

void AgentChannel::writeStartupFields(const StartupAlert& alert) {
  write(channel::kRegTime, alert.time);
  if (alert.name) write(channel::kRegName, *alert.name);
  if (alert.path) {
    write(channel::kRegObject, channel::kStartupRegistryObject);
    write(channel::kRegPath, *alert.path);
  }
}

void AgentChannel::raiseStartupFlag() { write(channel::kReg, keys::kOn); }

bool AgentChannel::alertPending() {
  return read(channel::kFile) == keys::kOn || read(channel::kReg) == keys::kOn;
}

void AgentChannel::clearPendingFlags() {
  write(channel::kFile, keys::kOff);
  write(channel::kFileCheck, keys::kOff);
  write(channel::kReg, keys::kOff);
}

FileAlert AgentChannel::readFileAlert() {
  return FileAlert{read(channel::kFileTime), read(channel::kFileObject), read(channel::kFileName),
                   read(channel::kFileSize)};
}

StartupAlert AgentChannel::readStartupAlert() {
  return StartupAlert{read(channel::kRegTime), read(channel::kRegName), read(channel::kRegPath)};
}

// --- TrustedZone ---

template <typename Match>
bool TrustedZone::anyValue(platform::RootKey root, std::string_view keyPath, Match matches) {
  platform::Registry& registry = store_.registry();
  platform::ScopedKey key(registry);
  if (key.open(root, keyPath, RegistryAccess::Read) != 0) return false;
  for (uint32_t index = 0;; ++index) {
    std::string name;
    const long result = registry.enumValue(key.get(), index, &name);
    if (result == platform::kErrorMoreData) continue;  // an unreadable name is skipped, not the rest
    if (result != 0) return false;                     // no more values, or the key failed
    if (matches(name)) return true;
  }
}

bool TrustedZone::isTrusted(std::string_view rootName, std::string_view keyPath, Mode mode,
                            std::string_view candidate, std::string_view sizeText) {
  const std::optional<platform::RootKey> root = settings::parseRootName(rootName);
  if (!root || *root == platform::RootKey::ClassesRoot) return false;
  return anyValue(*root, keyPath, [&](const std::string& name) {
    if (name != candidate) return false;
    if (mode == Mode::Startup) return true;
    std::string data;
    // A value that cannot be read as text trusts nothing (its default must not match).
    if (!store_.readString(*root, keyPath, name, "", &data)) return false;
    return data == sizeText || data == keys::kDefault;
  });
}

bool TrustedZone::isFileTrusted(std::string_view path, std::string_view sizeText) {
  return isTrusted(kMachineRootName, keys::kConfidenceFile, Mode::File, path, sizeText);
}

bool TrustedZone::isStartupTrusted(std::string_view runName) {
  return isTrusted(kMachineRootName, keys::kConfidenceReg, Mode::Startup, runName);
}

void TrustedZone::trustFile(std::string_view path, std::string_view sizeText) {
  store_.writeString(keys::kRoot, keys::kConfidenceFile, path, sizeText);
}

void TrustedZone::trustStartup(std::string_view runName) {
  store_.writeString(keys::kRoot, keys::kConfidenceReg, runName, keys::kOn);
}

}  // namespace agent
