// tvscan: the scan engine and the remedy on the console.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/console_line.h"
#include "cli/scan_arguments.h"
#include "common/progress_throttle.h"
#include "common/text.h"
#include "platform/win32/system_folders.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "scan/definition_tables.h"
#include "scan/win32/item_path_win32.h"
#include "scan/remedy.h"
#include "scan/scan_engine.h"
#include "scan/scan_texts.h"
#include "scan/scan_type_choice.h"
#include "settings/key_layout.h"

namespace {

constexpr int kFound = 1;
constexpr int kError = 2;
constexpr uint32_t kProgressIntervalMs = 50;

WorkFlags g_flags;

// Ctrl+C and Ctrl+Break stop the scan as the Stop button does; the scan
// then ends as usual and reports what it found.
BOOL WINAPI onConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  g_flags.stopRequest = 1;
  g_flags.busy = 0;
  return TRUE;
}

void writeOut(FILE* stream, const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

// A closing message on one line: its paragraphs joined by " | ".
std::string oneLine(const std::string& message) {
  std::string line;
  for (const std::string& part : text::split(message, '\n')) {
    const std::string piece = text::trim(part);
    if (piece.empty()) continue;
    if (!line.empty()) line += " | ";
    line += piece;
  }
  return line;
}

// One progress line that rewrites itself on a console, at a bounded rate.
class ProgressLine {
 public:
  explicit ProgressLine(bool enabled) {
    console_ = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    enabled_ = enabled && GetConsoleMode(console_, &mode);
  }

  void set(scan::ScanLabel label, const std::string& text) {
    if (!enabled_) return;
    if (label == scan::ScanLabel::Progress) phase_ = text;
    else if (label == scan::ScanLabel::Count) count_ = text;
    else if (label == scan::ScanLabel::CurrentItem) item_ = text;
    else return;
    throttle_.update(0, "");
  }

  void clear() {
    if (!enabled_ || shownColumns_ == 0) return;
    std::string blank(static_cast<size_t>(shownColumns_) + 2, ' ');
    blank.front() = blank.back() = '\r';
    write(blank);
    shownColumns_ = 0;
  }

 private:
  void show() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    int width = 80;
    if (GetConsoleScreenBufferInfo(console_, &info)) width = info.srWindow.Right - info.srWindow.Left + 1;
    const std::string line = cli::fitColumns(phase_ + " | " + count_ + " | " + item_, width - 1);
    const int columns = cli::displayColumns(line);
    write("\r" + line + std::string(std::max(0, shownColumns_ - columns), ' '));
    shownColumns_ = columns;
  }
  void write(const std::string& utf8) {
    const std::wstring wide = text::widen(utf8);
    DWORD written = 0;
    WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  }

  HANDLE console_;
  bool enabled_ = false;
  std::string phase_, count_, item_;
  int shownColumns_ = 0;
  ProgressThrottle throttle_{kProgressIntervalMs, [this](int, const std::string&) { show(); }};
};

class ConsoleScanObserver final : public scan::ScanObserver {
 public:
  explicit ConsoleScanObserver(ProgressLine& progress) : progress_(progress) {}
  void setLabel(scan::ScanLabel label, const std::string& text) override { progress_.set(label, text); }
  void showCurrentItem(bool) override {}
  void clearResults() override {}
  void insertResult(const scan::ResultRow& row) override {
    progress_.clear();
    writeOut(stdout, row.name + "\t" + row.location + "\t" + row.type + "\t" + row.kind + "\n");
    std::fflush(stdout);
  }
  void showMessage(const std::string&, scan::MessageIcon) override {}
  // The console removes only what --remedy asks for; "AutoRemedy" is the window's option.
  void startRemedy() override {}

 private:
  ProgressLine& progress_;
};

class ConsoleRemedyObserver final : public scan::RemedyObserver {
 public:
  void removeRow(size_t) override {}
  void uncheckRow(size_t) override {}
  void setLabel(scan::ScanLabel, const std::string&) override {}
  void showMessage(const std::string& text) override { message = text; }
  std::string message;
};

int fail(const std::string& message) {
  writeOut(stderr, "tvscan: " + message + "\n");
  return kError;
}

std::string fullPath(const std::string& path) {
  const std::wstring wide = text::widen(path);
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring out(n, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), n, out.data(), nullptr);
  if (got == 0 || got >= n) return path;
  out.resize(got);
  return text::narrow(out);
}

bool isFolder(const std::string& path) {
  win32::Win32FileSystem files;
  const auto attributes = files.attributes(path);
  return attributes && (*attributes & platform::kAttributeDirectory);
}

}  // namespace

int main(int argc, char** argv) {
  cli::useUtf8Console();
  std::string error;
  const auto args = cli::parseScanArguments(cli::programArguments(argc, argv), &error);
  if (!args) {
    writeOut(stderr, "tvscan: " + error + "\n\n" + cli::kScanUsage);
    return kError;
  }
  if (args->help) {
    writeOut(stdout, cli::kScanUsage);
    return 0;
  }

  const std::string databasePath =
      args->database ? fullPath(*args->database) : win32::programFolder() + scan::kDatabaseFileName;
  bool found = false;
  win32::Win32FileSystem databaseFiles;
  scan::DefinitionDatabase database = scan::DefinitionDatabase::load(databaseFiles, databasePath, &found);
  if (!found) return fail(databasePath + ": the database cannot be read");
  std::optional<std::string> top;
  if (args->path) {
    top = fullPath(*args->path);
    if (!isFolder(*top)) return fail(*top + ": no such folder");
  }

  win32::Win32Registry registry;
  settings::RegistryStore store(registry);
  win32::Win32FileSystem files;
  win32::Win32Processes processes;

  scan::ScanSetup setup;
  setup.pathContext = scan::currentItemPathContext();
  const auto processTable = scan::loadProcessDefinitions(database, setup.pathContext, nullptr);
  // Only the full scan reads the digest table.
  const auto digestTable =
      args->full ? scan::loadDigestDefinitions(database, nullptr) : std::vector<scan::DigestRow>{};
  setup.database = &database;
  setup.processTable = &processTable;
  setup.digestTable = &digestTable;
  setup.fullScan = args->full;
  setup.topFolder = top;
  setup.scanPathChecked =
      store.readString(keys::kRoot, keys::kMain, keys::value::kScanPath, keys::kDefault) == keys::kOn;
  const DWORD started = GetTickCount();
  std::string elapsed;
  setup.elapsedText = [&] {
    elapsed = scan::texts::elapsedText((GetTickCount() - started) / 1000);
    return elapsed;
  };

  SYSTEMTIME now;
  GetLocalTime(&now);
  scan::recordScanStart(store, {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
  SetConsoleCtrlHandler(onConsoleControl, TRUE);
  ProgressLine progress(!args->quiet);
  ConsoleScanObserver observer(progress);
  scan::ScanEngine engine({files, processes, store}, g_flags);
  engine.run(setup, observer);
  progress.clear();

  std::vector<scan::ResultRow> rows = engine.results();
  const bool foundSomething = !rows.empty();
  writeOut(stderr, oneLine(scan::texts::scanFinished(rows.size(), elapsed)) + "\n");
  if (args->remedy && !rows.empty()) {
    scan::Remedy remedy({files, processes, store, win32::systemFolder()});
    ConsoleRemedyObserver remedyObserver;
    remedy.run(rows, database.countText(), remedyObserver);
    for (const scan::ResultRow& row : rows)
      writeOut(stderr, "tvscan: not removed: " + row.location + "\n");
    writeOut(stderr, oneLine(remedyObserver.message) + "\n");
  }
  return foundSomething ? kFound : 0;
}
