#include "update/windows_version.h"

namespace update {
namespace {

constexpr const char* kPrefix = "윈도우 버전 : ";
constexpr const char* kUnknown = "알수없는 운영체제";

constexpr uint32_t kWin9x = 1;
constexpr uint32_t kNt = 2;

// Versions from 6.0 on, named by their version numbers, and the server
// editions by their product type (anything but a workstation).
std::string laterWindowsName(const VersionFacts& f) {
  const bool server = f.productType != 1;
  if (f.major == 6) {
    switch (f.minor) {
      case 0: return server ? "Windows Server 2008" : "Windows Vista";
      case 1: return server ? "Windows Server 2008 R2" : "Windows 7";
      case 2: return server ? "Windows Server 2012" : "Windows 8";
      case 3: return server ? "Windows Server 2012 R2" : "Windows 8.1";
      default: return "";
    }
  }
  if (f.major == 10 && f.minor == 0) {
    if (server) {
      if (f.build >= 26100) return "Windows Server 2025";
      if (f.build >= 20348) return "Windows Server 2022";
      if (f.build >= 17763) return "Windows Server 2019";
      return "Windows Server 2016";
    }
    return f.build >= 22000 ? "Windows 11" : "Windows 10";
  }
  return "";
}

}  // namespace

int probeWindowsVersion(const VersionFacts& f) {
  if (!f.extendedQueryOk && !f.basicQueryOk) return -1;
  if (f.platformId == kWin9x) {
    if (f.major != 4) return 0;
    if (f.minor == 0) return 1;
    if (f.minor == 10) return 2;
    if (f.minor == 90) return 3;
    return 0;
  }
  if (f.platformId == kNt) {
    if (f.major <= 4) return 4;
    if (f.major == 5 && f.minor == 0) return 5;
    return f.extendedQueryOk ? 6 : 0;
  }
  return 0;
}

std::string windowsVersionText(const VersionFacts& f) {
  const int code = probeWindowsVersion(f);
  switch (code) {
    case 0: return kUnknown;
    case 1: return std::string(kPrefix) + "Windows 95";
    case 2: return std::string(kPrefix) + "Windows 98";
    case 3: return std::string(kPrefix) + "Windows ME";
    case 4: return std::string(kPrefix) + "Windows NT";
    case 5: return std::string(kPrefix) + "Windows 2000";
    case 6: break;
    default: return std::to_string(code);
  }
  if (!f.basicQueryOk) return "6";
  if (f.platformId == kNt && f.major >= 6) {
    const std::string name = laterWindowsName(f);
    return name.empty() ? kUnknown : kPrefix + name;
  }
  if (f.registryProductType == "WinNT") return std::string(kPrefix) + "Windows XP";
  if (f.registryProductType == "ServerNT") return std::string(kPrefix) + "Windows Server 2003";
  return kUnknown;
}

}  // namespace update
