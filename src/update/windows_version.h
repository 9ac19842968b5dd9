// The Windows version probe of the information page as a rule over the
// facts the version queries give, so every case can be tried without the
// Windows it names.
#pragma once

#include <cstdint>
#include <string>

namespace update {

struct VersionFacts {
  bool extendedQueryOk = false;  // the query with the extended structure
  bool basicQueryOk = false;     // the query with the basic structure
  uint32_t platformId = 0;       // 1: Windows 9x, 2: NT
  uint32_t major = 0, minor = 0, build = 0;
  uint8_t productType = 1;       // from the extended structure: 1 workstation, 2 domain controller, 3 server
  std::string registryProductType = "default";  // ProductOptions "ProductType"
};

// -1 … 6, as the probe reports them: -1 no query worked, 0 unknown,
// 1 95, 2 98, 3 ME, 4 NT, 5 2000, 6 a later NT version.
int probeWindowsVersion(const VersionFacts& facts);

// The text of label 1002 for the probe's code.
std::string windowsVersionText(const VersionFacts& facts);

}  // namespace update
