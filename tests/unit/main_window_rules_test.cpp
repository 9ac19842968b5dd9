// The main window's tables and texts that need no window: which controls
// each page shows and where, where each command goes, label colours, the
// tray tip, the server address and the header box rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/command_table.h"
#include "app/main_window_layout.h"
#include "app/window_texts.h"
#include "common/text.h"
#include "common/web_address.h"
#include "ui/check_box_rules.h"
#include "ui/shell_texts.h"

namespace {

using app::Page;

bool shows(Page page, int id) {
  const auto ids = app::pageControls(page);
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST(PageTable, EachPageShowsItsControlsAndNoOther) {
  struct Case {
    Page page;
    int background;
    std::vector<int> shown;
  };
  const std::vector<int> tabs = {1042, 1043, 1044, 1045, 1046, 1047};
  auto withTabs = [&](std::vector<int> ids) {
    ids.insert(ids.end(), tabs.begin(), tabs.end());
    return ids;
  };
  const Case cases[] = {
      {Page::Information, 130, {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009}},
      {Page::Scan, 145, {1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024, 1025}},
      {Page::Optimisation, 166, withTabs({1033, 1039, 1034, 1040, 1035, 1036, 1022, 1037, 1032})},
      {Page::ActiveX, 189, withTabs({1033, 1048, 1049, 1050})},
      {Page::Process, 196, withTabs({1033, 1051, 1052})},
      {Page::Startup, 200, withTabs({1033, 1051, 1037})},
      {Page::Plugins, 201, withTabs({1033, 1051, 1037, 1054})},
      {Page::Options, 215, withTabs({1033, 1055, 1056, 1057, 1058, 1059, 1076, 1084, 1085})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.page));
    EXPECT_EQ(app::pageBackground(c.page), c.background);
    const auto ids = app::pageControls(c.page);
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()), std::set<int>(c.shown.begin(), c.shown.end()));
    // 1027 shows only while a scan runs; the frame and the data lists never hide or show with a page.
    EXPECT_FALSE(shows(c.page, 1027));
    for (int id : app::frameControls()) EXPECT_FALSE(shows(c.page, id)) << id;
    for (int id : app::hiddenLists()) EXPECT_FALSE(shows(c.page, id)) << id;
  }
}

TEST(PageTable, PlacesAndTheHeadingWidthPerPage) {
  struct Case {
    int id, x, y, width, height;
  };
  const Case cases[] = {
      {1010, 670, 10, 17, 16},  {1011, 354, 50, 83, 28},  {1015, 627, 50, 57, 28},
      {1009, 116, 430, 260, 13}, {1027, 162, 190, 510, 13}, {1024, 157, 122, 184, 16},
      {1025, 28, 216, 651, 235}, {1046, 555, 188, 51, 27},  {1052, 572, 460, 90, 24},
      {1076, 60, 400, 200, 13},  {1085, 300, 280, 200, 13},
  };
  for (const Case& c : cases) {
    const auto place = app::placeOf(c.id);
    ASSERT_TRUE(place) << c.id;
    EXPECT_EQ(std::tie(place->x, place->y, place->width, place->height),
              std::tie(c.x, c.y, c.width, c.height))
        << c.id;
  }
  EXPECT_EQ(app::headingPlace(Page::Optimisation).width, 100);
  for (Page p : {Page::ActiveX, Page::Process, Page::Startup, Page::Plugins})
    EXPECT_EQ(app::headingPlace(p).width, 300);
  EXPECT_EQ(app::headingPlace(Page::Options).width, 500);
  // Every skinned button has a place.
  for (const app::ButtonSkin& skin : app::buttonSkins()) EXPECT_TRUE(app::placeOf(skin.id)) << skin.id;
}

TEST(CommandTable, EveryCommandOfTheWindowIsRoutedOnce) {
  using O = app::CommandOwner;
  const std::pair<int, O> expected[] = {
      {1010, O::Frame},  {1011, O::Frame},   {1012, O::Frame},  {1013, O::Update},
      {1014, O::Frame},  {1015, O::Frame},   {1021, O::ScanPage}, {1022, O::ScanPage},
      {1023, O::ScanPage}, {1024, O::ScanPage}, {32771, O::ScanPage}, {32772, O::ScanPage},
      {1036, O::Optimisation}, {1037, O::Frame}, {1042, O::Optimisation}, {1043, O::ActiveX},
      {1044, O::ProcessStartup}, {1045, O::ProcessStartup}, {1046, O::Plugins}, {1047, O::Frame},
      {1049, O::ActiveX}, {1050, O::ActiveX}, {1052, O::ProcessStartup}, {1054, O::Plugins},
      {1055, O::Options}, {1056, O::Options}, {1057, O::Options}, {1058, O::Options},
      {1059, O::Options}, {1076, O::Options}, {1084, O::Options}, {1085, O::Options},
      {32773, O::Frame}, {32774, O::Frame}, {32775, O::Frame}, {32776, O::Frame},
      {32777, O::Frame}, {32778, O::Frame}, {32779, O::Frame}, {32780, O::Update},
      {32781, O::Frame}, {32783, O::Frame}, {32784, O::Options}, {32785, O::RealTime},
      {32787, O::Options}, {2, O::Frame},
  };
  for (const auto& [id, owner] : expected) {
    const auto got = app::ownerOf(id);
    ASSERT_TRUE(got) << id;
    EXPECT_EQ(*got, owner) << id;
  }
  std::set<int> ids;
  for (const app::CommandRoute& r : app::commandRoutes()) EXPECT_TRUE(ids.insert(r.id).second) << r.id;
  EXPECT_EQ(ids.size(), std::size(expected));
  EXPECT_FALSE(app::ownerOf(1048));  // a list click is a notification, not a command
}

TEST(LabelColours, GreyGreenRedAndUnchanged) {
  for (int id : {1000, 1003, 1006, 1009, 1016, 1020, 1027, 1033, 1040})
    EXPECT_EQ(app::labelColour(id), 0x00817F89u) << id;
  EXPECT_EQ(app::labelColour(1004), 0x0025C225u);
  EXPECT_EQ(app::labelColour(1005), 0x006666CCu);
  for (int id : {1055, 1085, 1021, 1041}) EXPECT_FALSE(app::labelColour(id)) << id;
}

TEST(TrayTip, CutAt63BytesOfItsCp949FormWithoutSplittingACharacter) {
  const std::string tip = app::trayTipText("v1 (2026.12.10)", "2026-12-10");
  EXPECT_EQ(tip, "Torvane AntiVirus 2008™\nDB버전 : v1 (2026.12.10)\n업데이트 일자 : 2026-12-10");
  struct Case {
    std::string in, out;
  };
  const std::string a62(62, 'a');
  const Case cases[] = {
      {"short", "short"},
      {std::string(63, 'x'), std::string(63, 'x')},
      {std::string(70, 'x'), std::string(63, 'x')},
      // A Hangul syllable is two bytes: at byte 62 it would be split, so it goes whole.
      {a62 + "가나", a62},
      {std::string(61, 'a') + "가나", std::string(61, 'a') + "가"},
      // "™" is two bytes in CP949 too.
      {a62 + "™", a62},
  };
  for (const Case& c : cases) {
    const std::string cut = ui::cutTrayTip(c.in);
    EXPECT_EQ(cut, c.out);
    EXPECT_LE(text::utf8ToCp949(cut).size(), 63u);
  }
  EXPECT_LE(text::utf8ToCp949(ui::cutTrayTip(tip)).size(), 63u);
}

TEST(Captions, ApplicationCaptionIsTheProgramNameWithoutExtension) {
  EXPECT_EQ(ui::applicationCaption("C:\\Program Files\\Torvane\\torvane.exe"), "torvane");
  EXPECT_EQ(ui::applicationCaption("torvane.backup.exe"), "torvane.backup");
  EXPECT_EQ(ui::applicationCaption("C:\\x\\noext"), "noext");
}

TEST(WebAddress, OnlyHttpAndHttpsAddressesAreOpened) {
  const std::pair<const char*, bool> cases[] = {
      {"http://127.0.0.1:8080/", true},
      {"https://www.example.com/a?b=c#d", true},
      {"HTTP://EXAMPLE.COM", true},
      {"http://", false},
      {"https:///path", false},
      {"file:///C:/Windows/notepad.exe", false},
      {"C:\\Windows\\notepad.exe", false},
      {"javascript:alert(1)", false},
      {"http://a.com\" & calc", false},
      {"http://a.com calc.exe", false},
      {"http://a.com\nx", false},
      {"", false},
  };
  for (const auto& [address, ok] : cases) EXPECT_EQ(web::isWebAddress(address), ok) << address;
}

TEST(ServerUrl, StoredAddressOrTheDefault) {
  EXPECT_EQ(app::serverUrlFrom("default"), app::kDefaultServerUrl);
  EXPECT_EQ(app::serverUrlFrom("ftp://x"), app::kDefaultServerUrl);
  EXPECT_EQ(app::serverUrlFrom("https://update.example.com/"), "https://update.example.com");
  EXPECT_EQ(app::serverUrlFrom(" http://localhost:9000 "), "http://localhost:9000");
}

TEST(HeaderBox, ClickFlipsAndRowsDecide) {
  EXPECT_EQ(ui::headerImageAfterClick(1), 2);
  EXPECT_EQ(ui::headerImageAfterClick(2), 1);
  EXPECT_EQ(ui::headerImageAfterClick(0), 1);  // anything but 1 clears
  struct Case {
    std::vector<int> rows;
    int image;
  };
  const Case cases[] = {{{}, 2}, {{2, 2, 2}, 2}, {{2, 1, 2}, 1}, {{1}, 1}, {{2, 0}, 2}};
  for (const Case& c : cases) EXPECT_EQ(ui::headerImageForRows(c.rows), c.image);
}

}  // namespace
