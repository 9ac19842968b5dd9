#include "app/win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/win32/program_info_window.h"
#include "app/window_texts.h"
#include "common/text.h"
#include "platform/win32/system_folders.h"
#include "scan/win32/item_path_win32.h"
#include "scan/scan_texts.h"
#include "scan/win32/scan_page.h"
#include "settings/key_layout.h"
#include "settings/win32/agent_control.h"
#include "tools/win32/tools_pages.h"
#include "update/win32/information_page.h"

namespace app {
namespace {

namespace cmd = command;

constexpr wchar_t kMutexName[] = L"Torvane by Ruvik";
constexpr UINT_PTR kBootTimer = 1;
constexpr UINT_PTR kElapsedTimer = 2;
constexpr int kHelpMenu = 158;
constexpr int kProcessList = 1051;
constexpr int kActiveXList = 1048;
// How long a second instance waits for the first one's window to appear.
constexpr DWORD kFirstWindowWaitMs = 3000;
// How long the exit waits for the agent's windows to close.
constexpr DWORD kAgentStopWaitMs = 3000;

// The brush behind every label, made once for the life of the process.
HBRUSH labelBrush() {
  static HBRUSH brush = [] {
    HBITMAP texture = ui::loadBitmap(kLabelTextureBitmap);
    return texture ? CreatePatternBrush(texture) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }();
  return brush;
}

// The options, until their subsystem takes their commands over: the tray's
// two option commands show the stored options.
class PageTabsOnly final : public WindowPage {
 public:
  explicit PageTabsOnly(WindowContext& context) : context_(context) {}
  void onCommand(int) override {}
  // The two option commands of the tray menu show the stored options.
  std::optional<bool> commandChecked(int id) const override {
    const char* name = id == cmd::kTrayRealTime ? keys::value::kRealTime
                       : id == cmd::kTrayAutoRun ? keys::value::kAutoRun
                                                 : nullptr;
    if (!name) return std::nullopt;
    return context_.store->readString(keys::kRoot, keys::kMain, name, keys::kDefault) == keys::kOn;
  }

 private:
  WindowContext& context_;
};

struct ListSetUp {
  int id;
  DWORD styles;
  std::vector<ui::ListColumn> columns;
  bool headerBox;
};

// In the order the window sets them up.
const std::vector<ListSetUp>& listSetUps() {
  static const std::vector<ListSetUp> lists = {
      {1025, 0x25, {{"진단명", 160}, {"위치", 370}, {"종류", 100}, {"기타", 0}}, true},
      {1026, 0x25, {{"파일이름", 100}, {"이름", 100}, {"항목", 200}, {"종류", 100}, {"기타", 100}}, false},
      {1028, 0x25, {{"파일이름", 100}, {"이름", 100}, {"종류", 100}, {"MD5", 100}, {"크기", 100}}, false},
      {1032, 0x25, {{"위치", 620}, {"이름", 0}, {"기타", 0}, {"종류", 0}}, true},
      {1048, 0x05, {{"이름", 220}, {"CLSID", 280}, {"상태", 100, true}}, true},
      {1038, 0x25, {{"위치", 330}, {"이름", 100}}, true},
      {1041, 0x25, {{"위치", 350}}, false},
      {1051, 0x25, {{"이름", 500}, {"위치", 0}, {"상태", 100, true}}, true},
      {1053, 0x00, {{"이름", 100}}, false},
  };
  return lists;
}

}  // namespace

MainWindow::MainWindow(std::string commandLine) {
  context_.commandLine = std::move(commandLine);
  context_.store = &store_;
  context_.queue = &queue_;
  context_.startElapsedTimer = [this] {
    context_.elapsedSeconds = 0;
    SetTimer(window(), kElapsedTimer, 1000, nullptr);
  };
  context_.showPage = [this](Page page) { return switchPage(page); };
  context_.currentPage = [this] { return page_; };
  context_.closeProgram = [this] { close(); };
  context_.databaseTextsChanged = [this] {
    tray_.setTip(trayTipText(context_.versionText, context_.lastUpdateText));
  };
  scanPage_ = std::make_unique<scan::ScanPage>(context_);
  informationPage_ = std::make_unique<update::InformationPage>(context_);
  pendingPages_ = std::make_unique<PageTabsOnly>(context_);
  toolsPages_ = std::make_unique<tools::ToolsPages>(context_);
  owners_[CommandOwner::ScanPage] = scanPage_.get();
  owners_[CommandOwner::Options] = pendingPages_.get();
  setOwner(CommandOwner::Optimisation, &toolsPages_->optimisation);
  setOwner(CommandOwner::ActiveX, &toolsPages_->activeX);
  setOwner(CommandOwner::ProcessStartup, &toolsPages_->processStartup);
  setOwner(CommandOwner::Plugins, &toolsPages_->plugins);
}

MainWindow::~MainWindow() {
  if (window()) DestroyWindow(window());
  if (mutex_) CloseHandle(mutex_);
}

std::span<const ui::Dialog::Entry> MainWindow::messageTable() const {
  using W = MainWindow;
  static constexpr Entry kTable[] = {
      {WM_INITDIALOG, 0, &bind<W, &W::onInitDialog>},
      {WM_DESTROY, 0, &bind<W, &W::onDestroy>},
      {WM_COMMAND, 0, &bind<W, &W::onCommand>},
      {WM_TIMER, 0, &bind<W, &W::onTimer>},
      {WM_ERASEBKGND, 0, &bind<W, &W::onEraseBackground>},
      {WM_CTLCOLORSTATIC, 0, &bind<W, &W::onControlColour>},
      {WM_LBUTTONDOWN, 0, &bind<W, &W::onLeftButtonDown>},
      {WM_MOUSEMOVE, 0, &bind<W, &W::onMouseMove>},
      {WM_PAINT, 0, &bind<W, &W::onPaint>},
      {WM_QUERYDRAGICON, 0, &bind<W, &W::onQueryDragIcon>},
      {kTrayCallback, 0, &bind<W, &W::onTrayCallback>},
      {kAgentAlert, 0, &bind<W, &W::onAgentAlert>},
      {kUiQueueMessage, 0, &bind<W, &W::onUiQueue>},
      {kFinishStartUp, 0, &bind<W, &W::onFinishStartUp>},
      {WM_NOTIFY, kProcessList, &bind<W, &W::onListClick>},
      {WM_NOTIFY, kActiveXList, &bind<W, &W::onActiveXListNotify>},
  };
  return kTable;
}

// ---- Start-up ----------------------------------------------------------

INT_PTR MainWindow::onInitDialog(WPARAM, LPARAM) {
  HWND w = window();
  context_.window = w;
  queue_.attach(w);
  icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIcon), IMAGE_ICON,
                                        0, 0, LR_DEFAULTSIZE | LR_SHARED));
  SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

  if (!takeSingleInstance()) return FALSE;
  firstInstance_ = true;

  store_.writeString(keys::kRoot, keys::kMain, keys::value::kHwnd,
                     settings::handleText(reinterpret_cast<intptr_t>(w)));
  if (context_.commandLine == "boot") SetTimer(w, kBootTimer, 1, nullptr);
  context_.programFolder = win32::programFolder();
  context_.serverUrl = serverUrlFrom(
      store_.readString(keys::kRoot, keys::kMain, "ServerUrl", keys::kDefault));

  layOutControls();
  loadSkin();
  setUpLists();
  informationPage_->fill();
  // The options come with their subsystem here.
  toolsPages_->activeX.loadKillbitList();
  // The program-start count comes with its subsystem here.
  header_.make(w, kHeaderBitmap, kHeaderWidth, kHeaderHeight);
  pagePicture_.make(w, pageBackground(page_), kPageWidth, kPageHeight);
  showPageControls(page_);
  setUpFrame();
  // The program-start count goes to the server here.

  // The tray icon and the table loaders follow once the window has shown
  // and painted itself (adding the icon alone takes a fifth of a second
  // under Wine).
  PostMessageW(w, kFinishStartUp, 0, 0);
  return TRUE;
}

INT_PTR MainWindow::onFinishStartUp(WPARAM, LPARAM) {
  UpdateWindow(window());
  if (!addTrayIcon()) return 0;
  // The server-notice poll starts here when its option is on.
  startTableLoaders();
  return 0;
}

bool MainWindow::takeSingleInstance() {
  mutex_ = CreateMutexW(nullptr, FALSE, kMutexName);
  if (!mutex_ || GetLastError() != ERROR_ALREADY_EXISTS) return true;
  CloseHandle(mutex_);
  mutex_ = nullptr;
  // The first instance may still be starting: give its window a moment to
  // appear, then end this instance either way.
  const std::wstring title = text::widen(kProductCaption);
  HWND first = nullptr;
  for (DWORD waited = 0; !(first = FindWindowW(nullptr, title.c_str())) && waited < kFirstWindowWaitMs;
       waited += 50)
    Sleep(50);
  SendMessageW(window(), WM_COMMAND, IDCANCEL, 0);
  if (first) {
    ShowWindow(first, SW_RESTORE);
    SetForegroundWindow(first);
  }
  return false;
}

void MainWindow::layOutControls() {
  HWND w = window();
  for (const ControlPlace& p : controlPlaces())
    if (HWND control = GetDlgItem(w, p.id)) MoveWindow(control, p.x, p.y, p.width, p.height, FALSE);
  for (const ButtonSkin& skin : buttonSkins()) {
    ui::HoverButton& button = context_.buttons[skin.id];
    if (!button.attach(w, skin.id)) continue;
    const ControlPlace p = *placeOf(skin.id);
    button.setFaceRect(p.x, p.y, p.x + p.width, p.y + p.height);
    button.setToolTipText(skin.toolTip);
  }
}

void MainWindow::loadSkin() {
  for (const ButtonSkin& skin : buttonSkins())
    context_.buttons[skin.id].loadBitmaps(skin.normal, skin.pressed, skin.hover);
}

void MainWindow::setUpLists() {
  for (const ListSetUp& setUp : listSetUps()) {
    ui::CheckListView& list = context_.lists[setUp.id];
    if (!list.attach(window(), setUp.id)) continue;
    list.setUp(setUp.styles, setUp.columns);
    if (setUp.headerBox) list.initHeaderCheckBox();
  }
}

void MainWindow::setUpFrame() {
  HWND w = window();
  SetWindowTextW(w, text::widen(kProductCaption).c_str());
  SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | WS_MINIMIZEBOX | WS_SYSMENU);
  SetWindowPos(w, nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOZORDER);
}

bool MainWindow::addTrayIcon() {
  const std::string tip = trayTipText(context_.versionText, context_.lastUpdateText);
  if (!tray_.create(this, kTrayCallback, tip, nullptr, kTrayMenu)) return false;
  tray_.setSecondRecord(this, kTrayCallback, tip, nullptr, kTrayReturnMenu);
  tray_.setIcon(kIcon);
  return true;
}

void MainWindow::startTableLoaders() {
  StartupTables& tables = context_.tables;
  // Both loaders build their tables from the database the information page reads.
  const bool processes = tables.processLoader.start([this] {
    StartupTables& t = context_.tables;
    t.databaseReader.wait(INFINITE);
    if (!t.database) return;
    t.processes = scan::loadProcessDefinitions(*t.database, scan::currentItemPathContext(), &context_.flags);
  });
  if (!processes) SendMessageW(window(), WM_COMMAND, IDCANCEL, 0);
  const bool digests = tables.digestLoader.start([this] {
    StartupTables& t = context_.tables;
    t.databaseReader.wait(INFINITE);
    if (!t.database) return;
    t.digests = scan::loadDigestDefinitions(*t.database, &context_.flags);
  });
  if (!digests) SendMessageW(window(), WM_COMMAND, IDCANCEL, 0);
}

// ---- Shutdown ----------------------------------------------------------

void MainWindow::close() { endDialog(IDCANCEL); }

INT_PTR MainWindow::onDestroy(WPARAM, LPARAM) {
  // A second instance that ends at once set nothing up and stops nothing:
  // the agent belongs to the first one.
  if (!firstInstance_) return 0;
  tray_.remove();
  // The notice pop-up is closed here once it exists.
  settings::stopAgent(kAgentStopWaitMs);
  // Workers that still run stop at their next step.
  context_.flags.stopRequest = 1;
  return 0;
}

bool MainWindow::waitForWorkers(uint32_t ms) const {
  const StartupTables& t = context_.tables;
  return scanPage_->waitForWorkers(ms) && toolsPages_->optimisation.waitForWorkers(ms) &&
         t.databaseReader.wait(ms) && t.processLoader.wait(ms) && t.digestLoader.wait(ms);
}

// ---- Commands ----------------------------------------------------------

INT_PTR MainWindow::onCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  // Menus (0), accelerators (1) and button clicks (BN_CLICKED is 0).
  if (code != 0 && code != 1) return 0;
  const auto owner = ownerOf(id);
  if (!owner) return 0;
  if (*owner == CommandOwner::Frame) {
    frameCommand(id);
    return 0;
  }
  const auto page = owners_.find(*owner);
  if (page != owners_.end() && page->second) page->second->onCommand(id);
  return 0;
}

std::optional<bool> MainWindow::commandChecked(int commandId) const {
  const auto owner = ownerOf(commandId);
  if (!owner) return std::nullopt;
  const auto page = owners_.find(*owner);
  if (page == owners_.end() || !page->second) return std::nullopt;
  return page->second->commandChecked(commandId);
}

void MainWindow::frameCommand(int id) {
  switch (id) {
    case cmd::kCancel:
    case cmd::kTrayExit: close(); break;
    case cmd::kClose:
    case cmd::kTrayHide: showWindow(false); break;
    case cmd::kTrayOpen:
    case cmd::kTrayReturn: showWindow(true); break;
    case cmd::kTraySettings:
      showWindow(true);
      switchPage(Page::Options);
      break;
    case cmd::kTabInformation: switchPage(Page::Information); break;
    case cmd::kTabScan:
      if (switchPage(Page::Scan)) scanPage_->onEnter();
      break;
    case cmd::kTabTools:
      if (switchPage(Page::Optimisation)) {
        context_.setText(1033, "검색위치 : ");
        context_.setText(1039, "대기상태");
        context_.setText(1034, "검사항목 : ");
        context_.setText(1040, "대기상태");
        context_.setText(1035, "검사개수 : 0");
        if (store_.readString(keys::kRoot, keys::kMain, keys::value::kAutoMenu, keys::kDefault) == keys::kOn)
          if (WindowPage* tools = owners_[CommandOwner::Optimisation]) tools->onCommand(cmd::kSearch);
      }
      break;
    case cmd::kToolsOptions: switchPage(Page::Options); break;
    case cmd::kTabHelp: showHelpMenu(); break;
    case cmd::kDelete: deleteOnActivePage(); break;
    case cmd::kProgramInfo:
    case cmd::kTrayProgramInfo: showProgramInformation(); break;
    case cmd::kHomePage:
    case cmd::kTrayHomePage: openHomePage(); break;
    default: break;
  }
}

void MainWindow::deleteOnActivePage() {
  CommandOwner owner;
  switch (page_) {
    case Page::Optimisation: owner = CommandOwner::Optimisation; break;
    case Page::Startup: owner = CommandOwner::ProcessStartup; break;
    case Page::Plugins: owner = CommandOwner::Plugins; break;
    default: return;
  }
  if (WindowPage* page = owners_[owner]) page->onCommand(cmd::kDelete);
}

bool MainWindow::switchPage(Page page) {
  const int busy = context_.scanPreparing.load() ? 1 : context_.flags.busy.load();
  if (busy == 1) {
    ui::messageBox(window(), kBusyMessage, ui::applicationCaption(), MB_OK);
    return false;
  }
  if (busy != 0) return false;
  page_ = page;
  showPageControls(page);
  if (page == Page::Information) informationPage_->onEnter();
  pagePicture_.make(window(), pageBackground(page), kPageWidth, kPageHeight);
  InvalidateRect(window(), nullptr, TRUE);
  return true;
}

void MainWindow::showPageControls(Page page) {
  HWND w = window();
  const auto shown = pageControls(page);
  for (int id : allPageControls()) {
    const bool show = std::find(shown.begin(), shown.end(), id) != shown.end();
    if (HWND control = GetDlgItem(w, id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
  }
  if (isToolsPage(page)) {
    const ControlPlace h = headingPlace(page);
    MoveWindow(GetDlgItem(w, h.id), h.x, h.y, h.width, h.height, TRUE);
  }
}

void MainWindow::showWindow(bool shown) { ShowWindow(window(), shown ? SW_SHOW : SW_HIDE); }

void MainWindow::showHelpMenu() {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kHelpMenu));
  if (HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr) {
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_LEFTALIGN, at.x, at.y, 0, window(), nullptr);
  }
  if (menu) DestroyMenu(menu);
}

void MainWindow::showProgramInformation() {
  ProgramInfoWindow information;
  information.runModal(kProgramInfoDialog, window());
}

void MainWindow::openHomePage() { ui::openWebPage(context_.serverUrl + "/"); }

// ---- Timers, drawing and the mouse ---------------------------------------

INT_PTR MainWindow::onTimer(WPARAM wParam, LPARAM) {
  if (wParam == kBootTimer) {
    if (context_.commandLine == "boot") {
      showWindow(false);
      KillTimer(window(), kBootTimer);
    }
  } else if (wParam == kElapsedTimer) {
    if (context_.flags.busy.load() == 1 || context_.scanPreparing.load()) {
      const int seconds = ++context_.elapsedSeconds;
      context_.setText(1018, scan::texts::elapsedLabel(scan::texts::elapsedText(seconds)));
    } else {
      KillTimer(window(), kElapsedTimer);
    }
  }
  return 0;
}

INT_PTR MainWindow::onEraseBackground(WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  header_.draw(dc, 0, 0);
  pagePicture_.draw(dc, 0, kPageTop);
  return TRUE;
}

INT_PTR MainWindow::onControlColour(WPARAM wParam, LPARAM lParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetBkMode(dc, TRANSPARENT);
  const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
  if (const auto colour = labelColour(id)) SetTextColor(dc, *colour);
  return reinterpret_cast<INT_PTR>(labelBrush());
}

INT_PTR MainWindow::onLeftButtonDown(WPARAM, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  PostMessageW(window(), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
  if (page_ == Page::Information && kHomePageLink.contains(x, y)) {
    linkHover_.press();
    openHomePage();
  }
  return 0;
}

INT_PTR MainWindow::onMouseMove(WPARAM, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  linkHover_.track(page_ == Page::Information && kHomePageLink.contains(x, y));
  return 0;
}

INT_PTR MainWindow::onPaint(WPARAM, LPARAM) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window(), &paint);
  if (IsIconic(window()) && icon_) {
    RECT client;
    GetClientRect(window(), &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
  }
  EndPaint(window(), &paint);
  return 0;
}

INT_PTR MainWindow::onQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(icon_); }

INT_PTR MainWindow::onTrayCallback(WPARAM wParam, LPARAM lParam) {
  return tray_.onNotification(wParam, lParam);
}

INT_PTR MainWindow::onAgentAlert(WPARAM, LPARAM) {
  // The alert dialog opens here once the real-time front end is in place.
  return 1;
}

INT_PTR MainWindow::onUiQueue(WPARAM, LPARAM) {
  queue_.drain();
  return 0;
}

// A click on a row's check box in list 1051 leaves that row selected when
// it becomes checked and none selected when it is cleared.
INT_PTR MainWindow::onListClick(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code != NM_CLICK) return 0;
  const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
  HWND list = header->hwndFrom;
  LVHITTESTINFO hit{};
  hit.pt = click->ptAction;
  if (ListView_HitTest(list, &hit) < 0 || !(hit.flags & LVHT_ONITEMSTATEICON)) return 0;
  const bool wasChecked = ListView_GetCheckState(list, hit.iItem) != FALSE;
  for (int row = -1; (row = ListView_GetNextItem(list, row, LVNI_SELECTED)) >= 0;)
    ListView_SetItemState(list, row, 0, LVIS_SELECTED);
  if (!wasChecked) ListView_SetItemState(list, hit.iItem, LVIS_SELECTED, LVIS_SELECTED);
  return 0;
}

INT_PTR MainWindow::onActiveXListNotify(WPARAM, LPARAM lParam) {
  return toolsPages_->activeX.onNotify(*reinterpret_cast<const NMHDR*>(lParam));
}

}  // namespace app
