// A scan engine over in-memory ports, with an observer that records what the
// window would show.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "scan/database_writer.h"
#include "scan/definition_tables.h"
#include "scan/scan_engine.h"
#include "settings/key_layout.h"
#include "settings/registry_store.h"

namespace scanharness {

struct RecordingObserver : scan::ScanObserver {
  void setLabel(scan::ScanLabel label, const std::string& text) override {
    labels[label] = text;
    history.push_back(text);
    if (onLabel) onLabel(label, text);
  }
  void showCurrentItem(bool shown) override { currentItemShown = shown; }
  void clearResults() override { rows.clear(); }
  void insertResult(const scan::ResultRow& row) override { rows.insert(rows.begin(), row); }
  void showMessage(const std::string& text, scan::MessageIcon icon) override {
    messages.push_back(text);
    lastIcon = icon;
  }
  void startRemedy() override { ++remediesStarted; }

  std::map<scan::ScanLabel, std::string> labels;
  std::vector<std::string> history;
  std::vector<scan::ResultRow> rows;  // newest first, as the list shows them
  std::vector<std::string> messages;
  scan::MessageIcon lastIcon = scan::MessageIcon::Information;
  int remediesStarted = 0;
  bool currentItemShown = false;
  std::function<void(scan::ScanLabel, const std::string&)> onLabel;
};

struct ScanHarness {
  fakes::FakeFileSystem files;
  fakes::FakeProcesses processes;
  fakes::FakeRegistry registry;
  settings::RegistryStore store{registry};
  WorkFlags flags;
  scan::ScanEngine engine{{files, processes, store}, flags};
  scan::DatabaseContent content;
  scan::DefinitionDatabase database;
  std::vector<scan::ProcessDefinitionRow> processTable;
  std::vector<scan::DigestRow> digestTable;
  RecordingObserver observer;

  scan::ItemPathContext context() {
    scan::ItemPathContext c;
    c.userName = "홍길동";
    c.windowsFolder = "C:\\WINDOWS\\";
    c.exists = [this](const std::string& p) { return files.exists(p); };
    return c;
  }

  // Loads the database and both tables as the start-up loaders would.
  void load() {
    database = scan::DefinitionDatabase(scan::IniFile(scan::writeDatabase(content)));
    processTable = scan::loadProcessDefinitions(database, context(), nullptr);
    digestTable = scan::loadDigestDefinitions(database, nullptr);
  }

  bool scan(bool full, std::optional<std::string> top = std::nullopt) {
    load();
    scan::ScanSetup setup;
    setup.database = &database;
    setup.processTable = &processTable;
    setup.digestTable = &digestTable;
    setup.pathContext = context();
    setup.fullScan = full;
    setup.topFolder = std::move(top);
    setup.elapsedText = [] { return std::string("00:00:07"); };
    return engine.run(setup, observer);
  }

  std::vector<std::string> locations() const {
    std::vector<std::string> out;
    for (const auto& row : observer.rows) out.push_back(row.location);
    return out;
  }
};

}  // namespace scanharness
