// tvdb: builds, dumps and generates definition databases.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/database_generator.h"
#include "cli/database_source.h"
#include "common/file_io.h"
#include "common/text.h"
#include "scan/database_writer.h"
#include "scan/definition_database.h"

namespace {

constexpr int kUsageOrInputError = 2;

const char kHelp[] =
    "tvdb - the definition database tool\n"
    "\n"
    "usage:\n"
    "  tvdb dump FILE                 print every definition of a torvane.ini, decoded\n"
    "  tvdb build SOURCE -o FILE      write a torvane.ini from a source text (- reads stdin)\n"
    "  tvdb gen --definitions N --digests M [--seed S] [--min-size A] [--max-size B]\n"
    "           [--real NAME#SIZE#MD5]... -o FILE\n"
    "                                 write a synthetic database (deterministic per seed);\n"
    "                                 --real items come first, digest sizes lie in [A, B]\n"
    "\n"
    "source format (UTF-8, one statement a line; dump prints the same format):\n"
    "  ; comment                       blank lines are ignored too\n"
    "  version = TEXT                  [DBINFO] Version\n"
    "  info = TEXT                     [DBINFO] Info (the date follows the first ':')\n"
    "  definition = NAME | TYPE        starts a definition [TorvaneN]\n"
    "  file = PATH#SIZE#KIND           file item; SIZE is bytes or default; KIND one of\n"
    "                                  바탕화면 프로그램그룹 윈도우 시스템 파일 폴더\n"
    "  reg = ROOT#KEY#VALUE#DATA#KIND  registry item; ROOT HKEY_LOCAL_MACHINE,\n"
    "                                  HKEY_CLASSES_ROOT or HKEY_CURRENT_USER; KIND 레지값 or 레지키\n"
    "  digest = NAME | TYPE            starts a digest definition [TorvaneMD5N]\n"
    "  file = NAME#SIZE#MD5            digest item of the current digest definition\n"
    "\n"
    "exit codes: 0 done, 2 bad arguments or bad input (the message names the file and line)\n";

int fail(const std::string& message) {
  std::fprintf(stderr, "tvdb: %s\n", message.c_str());
  return kUsageOrInputError;
}

bool readSource(const std::string& path, std::string* out) {
  if (path != "-") return fileio::readWholeFile(path, out);
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) out->append(buffer, got);
  return !std::ferror(stdin);
}

int dump(const std::vector<std::string>& args) {
  if (args.size() != 2) return fail("usage: tvdb dump FILE");
  std::string text;
  if (!fileio::readWholeFile(args[1], &text)) return fail(args[1] + ": cannot read the file");
  const scan::DefinitionDatabase db{scan::IniFile(std::move(text))};
  const std::string out = cli::formatDatabaseSource(db);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

// Finds "-o FILE" and removes it from args.
bool takeOutput(std::vector<std::string>* args, std::string* output) {
  for (size_t i = 0; i + 1 < args->size(); ++i) {
    if ((*args)[i] == "-o") {
      *output = (*args)[i + 1];
      args->erase(args->begin() + static_cast<long>(i), args->begin() + static_cast<long>(i) + 2);
      return true;
    }
  }
  return false;
}

int write(const std::string& output, const scan::DatabaseContent& content) {
  if (!fileio::writeWholeFile(output, scan::writeDatabase(content)))
    return fail(output + ": cannot write the file");
  return 0;
}

int build(std::vector<std::string> args) {
  std::string output;
  if (!takeOutput(&args, &output) || args.size() != 2)
    return fail("usage: tvdb build SOURCE -o FILE");
  std::string source;
  if (!readSource(args[1], &source)) return fail(args[1] + ": cannot read the file");
  scan::DatabaseContent content;
  cli::SourceError error;
  if (!cli::parseDatabaseSource(source, &content, &error))
    return fail(args[1] + ":" + std::to_string(error.line) + ": " + error.message);
  return write(output, content);
}

bool parseNumber(const std::string& s, uint64_t* out) {
  if (s.empty() || s.size() > 18) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  *out = std::strtoull(s.c_str(), nullptr, 10);
  return true;
}

int gen(std::vector<std::string> args) {
  std::string output;
  if (!takeOutput(&args, &output)) return fail("gen: missing -o FILE");
  cli::GeneratorOptions options;
  bool haveDefinitions = false, haveDigests = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& flag = args[i];
    if (i + 1 >= args.size()) return fail("gen: " + flag + " needs a value");
    const std::string& value = args[++i];
    uint64_t n = 0;
    if (flag == "--real") {
      const auto f = text::split(value, '#');
      if (f.size() != 3 || !parseNumber(f[1], &n) || f[2].size() != 32)
        return fail("gen: --real wants NAME#SIZE#MD5, got '" + value + "'");
      options.realItems.push_back({f[0], f[1], f[2]});
      continue;
    }
    if (!parseNumber(value, &n)) return fail("gen: " + flag + " wants a number, got '" + value + "'");
    if (flag == "--definitions" && n <= 10000000) {
      options.definitions = static_cast<int>(n), haveDefinitions = true;
    } else if (flag == "--digests" && n <= 10000000) {
      options.digests = static_cast<int>(n), haveDigests = true;
    } else if (flag == "--seed") {
      options.seed = n;
    } else if (flag == "--min-size") {
      options.minSize = n;
    } else if (flag == "--max-size") {
      options.maxSize = n;
    } else {
      return fail("gen: unknown option or value out of range: " + flag + " " + value);
    }
  }
  if (!haveDefinitions || !haveDigests) return fail("gen: --definitions and --digests are required");
  if (options.minSize > options.maxSize) return fail("gen: --min-size is above --max-size");
  if (options.realItems.size() > static_cast<size_t>(options.digests))
    return fail("gen: more --real items than --digests");
  return write(output, cli::generateDatabase(options));
}

}  // namespace

int main(int argc, char** argv) {
  cli::useUtf8Console();
  const std::vector<std::string> args = cli::programArguments(argc, argv);
  if (args.empty()) {
    std::fputs(kHelp, stderr);
    return kUsageOrInputError;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (command == "dump") return dump(args);
  if (command == "build") return build(args);
  if (command == "gen") return gen(args);
  return fail("unknown command '" + command + "' (see tvdb --help)");
}
