#include "update/win32/information_page.h"

#include <windows.h>

#include "common/text.h"
#include "platform/win32/system_folders.h"
#include "platform/win32/win32_file_system.h"
#include "settings/key_layout.h"
#include "update/information_texts.h"

namespace update {
namespace {

std::string withoutTrailingBackslash(std::string folder) {
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::string readProductType() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return "default";
  wchar_t data[260] = L"";
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  const LONG got = RegQueryValueExW(key, L"ProductType", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (got != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "default";
  data[size / sizeof(wchar_t)] = L'\0';
  return text::narrow(data);
}

}  // namespace

VersionFacts currentVersionFacts() {
  VersionFacts facts;
  OSVERSIONINFOEXW extended{};
  extended.dwOSVersionInfoSize = sizeof extended;
  // The application manifest declares the Windows versions up to 11, so the
  // query reports the real version.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  facts.extendedQueryOk = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended)) != FALSE;
  OSVERSIONINFOW basic{};
  basic.dwOSVersionInfoSize = sizeof basic;
  facts.basicQueryOk = GetVersionExW(&basic) != FALSE;
#pragma GCC diagnostic pop
  const OSVERSIONINFOW& v = facts.extendedQueryOk ? *reinterpret_cast<OSVERSIONINFOW*>(&extended) : basic;
  facts.platformId = v.dwPlatformId;
  facts.major = v.dwMajorVersion;
  facts.minor = v.dwMinorVersion;
  facts.build = v.dwBuildNumber;
  if (facts.extendedQueryOk) facts.productType = extended.wProductType;
  facts.registryProductType = readProductType();
  return facts;
}

void InformationPage::fill() {
  app::WindowContext& c = context_;
  // Missing data files are fetched here once the update part is in place.

  const std::string user = win32::userName();
  if (!user.empty()) {
    c.userName = user;
    c.setText(1000, userNameLabel(user));
  }

  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatusEx(&memory);
  c.setText(1001, memoryLabel(memoryText(memory.ullTotalPhys)));

  c.setText(1002, windowsVersionText(currentVersionFacts()));

  c.windowsFolder = win32::windowsFolder();
  c.systemFolder = win32::systemFolder();
  c.setText(1003, systemFolderLabel(withoutTrailingBackslash(c.systemFolder)));

  readDatabase();

  onEnter();
  c.setText(1007, kDeveloperLabel);
  c.setText(1008, kContactLabel);
  c.setText(1009, homePageLabel(c.serverUrl));

  const ScanTypeStart start = startScanType(*c.store);
  c.scanType.quick = start.quick;
  c.scanType.full = start.full;
  if (start.label) c.setText(1017, *start.label);
}

// The database (a large one takes a good part of a second) is read on a
// worker; its values reach the labels when it is read, and the table
// loaders start from it.
void InformationPage::readDatabase() {
  app::WindowContext& c = context_;
  c.setText(1019, definitionCountLabel(""));
  c.setText(1004, versionLabel(""));
  c.setText(1005, lastUpdateLabel(""));
  const std::string path = c.databasePath();
  const bool started = c.tables.databaseReader.start([&c, path] {
    const uint64_t stamp = app::fileStamp(path);
    win32::Win32FileSystem files;
    auto database = std::make_shared<const scan::DefinitionDatabase>(scan::DefinitionDatabase::load(files, path));
    c.tables.database = database;
    c.tables.databaseStamp = stamp;
    c.queue->post([&c, database] { showDatabaseTexts(c, *database); });
  });
  if (!started) c.closeProgram();
}

void InformationPage::showDatabaseTexts(app::WindowContext& c, const scan::DefinitionDatabase& database) {
  c.definitionCountText = database.countText();
  c.setText(1019, definitionCountLabel(c.definitionCountText));
  c.versionText = database.version();
  c.setText(1004, versionLabel(c.versionText));
  c.lastUpdateText = lastUpdateText(database.info());
  c.setText(1005, lastUpdateLabel(c.lastUpdateText));
  if (c.databaseTextsChanged) c.databaseTextsChanged();
}

void InformationPage::onEnter() {
  context_.setText(1006, lastScanLabel(context_.store->readString(keys::kRoot, keys::kMain,
                                                                  keys::value::kLastScanDate,
                                                                  keys::kDefault)));
}

}  // namespace update
