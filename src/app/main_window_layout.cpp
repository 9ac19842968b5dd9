#include "app/main_window_layout.h"

#include <algorithm>
#include <array>
#include <vector>

namespace app {
namespace {

constexpr ControlPlace kPlaces[] = {
    {1010, 670, 10, 17, 16},
    {1011, 354, 50, 83, 28},
    {1012, 439, 50, 68, 28},
    {1013, 509, 50, 68, 28},
    {1014, 579, 50, 46, 28},
    {1015, 627, 50, 57, 28},
    {1000, 116, 158, 300, 13},
    {1001, 116, 178, 300, 13},
    {1002, 116, 198, 300, 13},
    {1003, 116, 218, 300, 13},
    {1004, 116, 284, 300, 13},
    {1005, 116, 302, 300, 13},
    {1006, 116, 322, 300, 13},
    {1007, 116, 392, 300, 13},
    {1008, 116, 410, 300, 13},
    {1009, 116, 430, 260, 13},
    {1016, 104, 150, 180, 13},
    {1017, 104, 170, 180, 13},
    {1018, 300, 150, 150, 13},
    {1019, 300, 170, 150, 13},
    {1020, 104, 190, 180, 13},
    {1027, 162, 190, 510, 13},
    {1021, 488, 465, 50, 16},
    {1022, 555, 465, 50, 16},
    {1023, 624, 465, 50, 16},
    {1024, 157, 122, 184, 16},
    {1025, 28, 216, 651, 235},
    {1033, 104, 150, 100, 13},
    {1039, 162, 150, 500, 13},
    {1034, 104, 170, 100, 13},
    {1040, 162, 170, 300, 13},
    {1035, 104, 190, 150, 13},
    {1036, 488, 465, 50, 16},
    {1037, 624, 465, 50, 16},
    {1032, 28, 216, 651, 235},
    {1042, 276, 188, 60, 27},
    {1043, 339, 188, 71, 27},
    {1044, 412, 188, 71, 27},
    {1045, 485, 188, 68, 27},
    {1046, 555, 188, 51, 27},
    {1047, 608, 188, 66, 27},
    {1048, 28, 216, 651, 235},
    {1049, 555, 465, 50, 16},
    {1050, 624, 465, 50, 16},
    {1051, 28, 216, 651, 235},
    {1052, 572, 460, 90, 24},
    {1054, 555, 465, 50, 16},
    {1055, 60, 250, 200, 13},
    {1056, 60, 280, 200, 13},
    {1057, 60, 310, 200, 13},
    {1058, 60, 340, 200, 13},
    {1059, 60, 370, 200, 13},
    {1076, 60, 400, 200, 13},
    {1084, 300, 250, 200, 13},
    {1085, 300, 280, 200, 13},
};

constexpr int kFrame[] = {1010, 1011, 1012, 1013, 1014, 1015};
constexpr int kHidden[] = {1026, 1028, 1038, 1041, 1053};

constexpr int kInformation[] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009};
constexpr int kScan[] = {1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024, 1025};
constexpr int kOptimisation[] = {1042, 1043, 1044, 1045, 1046, 1047, 1033, 1039,
                                 1034, 1040, 1035, 1036, 1022, 1037, 1032};
constexpr int kActiveX[] = {1042, 1043, 1044, 1045, 1046, 1047, 1033, 1048, 1049, 1050};
constexpr int kProcess[] = {1042, 1043, 1044, 1045, 1046, 1047, 1033, 1051, 1052};
constexpr int kStartup[] = {1042, 1043, 1044, 1045, 1046, 1047, 1033, 1051, 1037};
constexpr int kPlugins[] = {1042, 1043, 1044, 1045, 1046, 1047, 1033, 1051, 1037, 1054};
constexpr int kOptions[] = {1042, 1043, 1044, 1045, 1046, 1047, 1033, 1055,
                            1056, 1057, 1058, 1059, 1076, 1084, 1085};

// 1027 belongs to the scan page but only the scan shows it.
const std::vector<int>& allControls() {
  static const std::vector<int> all = [] {
    std::vector<int> ids;
    for (Page p : {Page::Information, Page::Scan, Page::Optimisation, Page::ActiveX, Page::Process,
                   Page::Startup, Page::Plugins, Page::Options})
      for (int id : pageControls(p))
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    ids.push_back(1027);
    return ids;
  }();
  return all;
}

constexpr ButtonSkin kSkins[] = {
    {1010, 132, 133, 134, "닫기"},
    {1011, 135, 210, 136, "기본정보"},
    {1012, 137, 211, 138, "검사"},
    {1013, 139, 212, 140, "업데이트"},
    {1014, 141, 213, 142, "도구"},
    {1015, 143, 214, 144, "도움말"},
    {1021, 146, 208, 147, "검사하기"},
    {1022, 148, 207, 149, "정지하기"},
    {1023, 151, 209, 152, "치료하기"},
    {1024, 153, 154, 154, "검사종류"},
    {1036, 167, 206, 168, "검색하기"},
    {1037, 169, 205, 170, "삭제하기"},
    {1042, 171, 173, 172, "윈도우 최적화"},
    {1043, 174, 175, 176, "ActiveX"},
    {1044, 177, 179, 178, "프로세스"},
    {1045, 180, 181, 182, "시작 프로그램 관리"},
    {1046, 183, 184, 185, "BHO"},
    {1047, 186, 187, 188, "사용자 설정"},
    {1049, 190, 192, 191, "차단하기"},
    {1050, 193, 194, 195, "해제하기"},
    {1052, 197, 198, 199, "프로세스 종료"},
    {1054, 202, 203, 204, "복구하기"},
};

}  // namespace

std::span<const ButtonSkin> buttonSkins() { return kSkins; }

std::span<const ControlPlace> controlPlaces() { return kPlaces; }

std::optional<ControlPlace> placeOf(int id) {
  for (const ControlPlace& p : kPlaces)
    if (p.id == id) return p;
  return std::nullopt;
}

ControlPlace headingPlace(Page page) {
  ControlPlace place{1033, 104, 150, 100, 13};
  switch (page) {
    case Page::ActiveX:
    case Page::Process:
    case Page::Startup:
    case Page::Plugins: place.width = 300; break;
    case Page::Options: place.width = 500; break;
    default: break;
  }
  return place;
}

std::span<const int> pageControls(Page page) {
  switch (page) {
    case Page::Information: return kInformation;
    case Page::Scan: return kScan;
    case Page::Optimisation: return kOptimisation;
    case Page::ActiveX: return kActiveX;
    case Page::Process: return kProcess;
    case Page::Startup: return kStartup;
    case Page::Plugins: return kPlugins;
    case Page::Options: return kOptions;
  }
  return {};
}

std::span<const int> allPageControls() { return allControls(); }

int pageBackground(Page page) {
  constexpr std::array<int, kPageCount> kBackgrounds = {130, 145, 166, 189, 196, 200, 201, 215};
  return kBackgrounds[static_cast<size_t>(page)];
}

bool isToolsPage(Page page) { return page != Page::Information && page != Page::Scan; }

std::span<const int> frameControls() { return kFrame; }
std::span<const int> hiddenLists() { return kHidden; }

}  // namespace app
