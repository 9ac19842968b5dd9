// The channel between the main program and the agent Wardsel: registry values
// under SOFTWARE\Torvane_KOR and its "Confidence" key, two posted messages,
// and the trusted zone. Every value name, text and message number of the
// channel is spelled here, once; both programs use this module.
//
// Writes happen in the order the other program relies on (each operation
// below writes its values in the order listed). Failures are silent, as every
// registry write of the system: the value keeps its old text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/registry_store.h"

namespace agent {

// Values of SOFTWARE\Torvane_KOR\Confidence.
namespace channel {
inline constexpr const char* kFileCheck = "agent_file_check";
inline constexpr const char* kFileTime = "agent_file_time";
inline constexpr const char* kFileObject = "agent_file_object";
inline constexpr const char* kFileName = "agent_file_name";
inline constexpr const char* kFileSize = "agent_file_size";
inline constexpr const char* kFile = "agent_file";
inline constexpr const char* kRegTime = "agent_reg_time";
inline constexpr const char* kRegName = "agent_reg_name";
inline constexpr const char* kRegObject = "agent_reg_object";
inline constexpr const char* kRegPath = "agent_reg_path";
inline constexpr const char* kReg = "agent_reg";
// What "agent_reg_object" always holds.
inline constexpr const char* kStartupRegistryObject = "Startup registry";
}  // namespace channel

// Posted messages (no data in their parameters).
inline constexpr unsigned kWmAgentAlert = 2024;       // agent -> "hwnd"
inline constexpr unsigned kWmAgentTrustReset = 2025;  // main program -> "hwnd_agent"

inline constexpr const char* kAgentWindowTitle = "Torvane RealTime System™";
inline constexpr const char* kAgentMutexName = "TorvaneRealTimeSystem by Ruvik";
inline constexpr const char* kAgentProgramName = "Wardsel.exe";

// The start-up key the agent watches under both roots, in the spelling its
// reports carry ("agent_reg_path").
inline constexpr const char* kStartupKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A local time as the file values carry it: "2008.03.15, 14:05:09".
struct LocalTime {
  int year, month, day, hour, minute, second;
};
std::string fileTimeText(const LocalTime& t);

// The payload of a file alert.
struct FileAlert {
  std::string time;    // "agent_file_time"
  std::string object;  // "agent_file_object": the detection name
  std::string path;    // "agent_file_name"
  std::string size;    // "agent_file_size": the row's size text
  bool operator==(const FileAlert&) const = default;
};

// The payload of a start-up alert; fields a report did not have stay unset
// and are not written.
struct StartupAlert {
  std::string time;                       // "agent_reg_time"
  std::optional<std::string> name;        // "agent_reg_name"
  std::optional<std::string> path;        // "agent_reg_path" (with "agent_reg_object")
  bool operator==(const StartupAlert&) const = default;
};

class AgentChannel {
 public:
  explicit AgentChannel(settings::RegistryStore& store) : store_(store) {}

  // --- window handles (SOFTWARE\Torvane_KOR) ---
  void publishAgentWindow(intptr_t window);  // "hwnd_agent"
  void publishMainWindow(intptr_t window);   // "hwnd"
  intptr_t mainWindow();                     // "hwnd", 0 when absent
  intptr_t agentWindow();                    // "hwnd_agent", 0 when absent

  // --- agent side ---
  // A new file was seen: "agent_file_check" = "1", "agent_file_time",
  // "agent_file_object" = the path.
  void noteNewFile(std::string_view path, std::string_view time);
  // "agent_file_time", "agent_file_object", "agent_file_name",
  // "agent_file_size", then "agent_file" = "1".
  void raiseFileAlert(const FileAlert& alert);
  void clearFileFlag();  // "agent_file" = "0"
  // "agent_reg_time", "agent_reg_name", "agent_reg_object" and "agent_reg_path",
  // as far as the alert has them.
  void writeStartupFields(const StartupAlert& alert);
  void raiseStartupFlag();  // "agent_reg" = "1"
  // True while the main program has not answered the last alert: "agent_file"
  // or "agent_reg" reads "1".
  bool alertPending();

  // "agent_file" = "0", "agent_file_check" = "0", "agent_reg" = "0": the agent
  // on exit, and the main program on every answer.
  void clearPendingFlags();

  // --- main program side: the payload an alert window shows ---
  FileAlert readFileAlert();
  StartupAlert readStartupAlert();
  std::string read(const char* confidenceValue);  // any channel value, "default" when absent

 private:
  void write(const char* value, std::string_view text);

  settings::RegistryStore& store_;
};

// Items the user chose to trust: Confidence\File (name = path, data = size
// text) and Confidence\Reg (name = Run value name, data "1"). Lookups compare
// texts exactly; a missing key trusts nothing.
class TrustedZone {
 public:
  enum class Mode { File, Startup };

  explicit TrustedZone(settings::RegistryStore& store) : store_(store) {}

  // The lookup of one candidate in one trusted-zone key. `rootName` is
  // "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE" (any other text trusts
  // nothing). File mode: a value named `name` holding `sizeText` or
  // "default"; start-up mode: a value named `name`.
  bool isTrusted(std::string_view rootName, std::string_view keyPath, Mode mode,
                 std::string_view name, std::string_view sizeText = {});

  // Trusted when a value is named `path` and holds `sizeText` or "default".
  bool isFileTrusted(std::string_view path, std::string_view sizeText);
  // Trusted when a value is named `runName`.
  bool isStartupTrusted(std::string_view runName);

  void trustFile(std::string_view path, std::string_view sizeText);
  void trustStartup(std::string_view runName);

 private:
  // Walks the values of the key in index order until `matches` says yes.
  template <typename Match>
  bool anyValue(platform::RootKey root, std::string_view keyPath, Match matches);

  settings::RegistryStore& store_;
};

}  // namespace agent
