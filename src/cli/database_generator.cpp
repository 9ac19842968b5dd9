#include "cli/database_generator.h"

#include <random>

#include "scan/definition_database.h"

namespace cli {
namespace {

class Random {
 public:
  explicit Random(uint64_t seed) : engine_(seed) {}
  // Raw engine output reduced by modulo: the same sequence on every platform
  // (standard distributions may differ between libraries).
  uint64_t below(uint64_t n) { return n == 0 ? 0 : engine_() % n; }
  uint64_t between(uint64_t lo, uint64_t hi) { return lo + below(hi - lo + 1); }
  std::string hex(int digits) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < digits; ++i) s += kHex[below(16)];
    return s;
  }

 private:
  std::mt19937_64 engine_;
};

scan::FileItem fileItemFor(Random& rnd, int def, int item) {
  using namespace scan::kind;
  const std::string leaf = "gen" + std::to_string(def) + "_" + std::to_string(item);
  const std::string size = rnd.below(2) ? scan::kAnySize : std::to_string(rnd.between(1, 1 << 20));
  switch (rnd.below(6)) {
    case 0: return {"C:\\Documents and Settings\\사용자이름\\바탕 화면\\" + leaf + ".exe", size, kDesktop};
    case 1: return {"system32\\" + leaf + ".dll", size, kWindows};
    case 2: return {"Gen Toolbar " + std::to_string(def), scan::kAnySize, kProgramGroup};
    case 3: return {"C:\\TorvaneGen\\" + leaf + ".exe", size, kSystem};
    case 4: return {"C:\\TorvaneGen\\" + leaf + ".dat", size, kFile};
    default: return {"C:\\TorvaneGen\\dir" + std::to_string(def), scan::kAnySize, kFolder};
  }
}

scan::RegistryItem registryItemFor(Random& rnd, int def) {
  if (rnd.below(2))
    return {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
            "gen" + std::to_string(def), scan::kAnySize, scan::kind::kRegistryValue};
  return {"HKEY_CLASSES_ROOT", "CLSID\\{" + rnd.hex(8) + "-" + rnd.hex(4) + "-" + rnd.hex(4) + "-" +
                                   rnd.hex(4) + "-" + rnd.hex(12) + "}",
          "-", "-", scan::kind::kRegistryKey};
}

}  // namespace

scan::DatabaseContent generateDatabase(const GeneratorOptions& options) {
  static const char* const kTypes[] = {"트로이목마", "애드웨어", "스파이웨어", "웜", "키로거"};
  Random rnd(options.seed);
  scan::DatabaseContent db;
  db.version = "Torvane Generated (" + std::to_string(options.seed) + ")";
  db.info = "생성된 데이터베이스 : 2026-12-10";
  db.definitions.reserve(options.definitions);
  for (int i = 1; i <= options.definitions; ++i) {
    scan::Definition d;
    d.name = "Gen.Malware." + std::to_string(i);
    d.info = kTypes[rnd.below(5)];
    const int files = static_cast<int>(rnd.between(0, 3));
    for (int j = 1; j <= files; ++j) d.files.push_back(fileItemFor(rnd, i, j));
    const int regs = static_cast<int>(rnd.between(0, 2));
    for (int j = 1; j <= regs; ++j) d.registryItems.push_back(registryItemFor(rnd, i));
    db.definitions.push_back(std::move(d));
  }
  db.digestDefinitions.reserve(options.digests);
  for (int i = 1; i <= options.digests; ++i) {
    scan::DigestDefinition d;
    d.name = "Gen.Digest." + std::to_string(i);
    d.info = kTypes[rnd.below(5)];
    const size_t real = static_cast<size_t>(i - 1);
    if (real < options.realItems.size()) {
      d.items.push_back(options.realItems[real]);
    } else {
      d.items.push_back({"gen" + std::to_string(i) + ".exe",
                         std::to_string(rnd.between(options.minSize, options.maxSize)), rnd.hex(32)});
    }
    db.digestDefinitions.push_back(std::move(d));
  }
  return db;
}

}  // namespace cli
