// Where every control of the main window sits and which page shows it. The
// window moves every control to its place at start-up and shows one page's
// controls at a time; the tables here are the whole of that, platform-free.
#pragma once

#include <optional>
#include <span>

namespace app {

// The eight pages, in the order of their page flags.
enum class Page { Information, Scan, Optimisation, ActiveX, Process, Startup, Plugins, Options };
inline constexpr int kPageCount = 8;

struct ControlPlace {
  int id;
  int x, y, width, height;
};

// Every positioned control of the main window with its place (the page
// heading 1033 with its narrowest size; see headingPlace).
std::span<const ControlPlace> controlPlaces();
std::optional<ControlPlace> placeOf(int id);

// The page heading 1033 changes its width with the page.
ControlPlace headingPlace(Page page);

// The controls a page shows, the header's tabs and close button aside
// (they are always shown). Every other page control is hidden.
std::span<const int> pageControls(Page page);
// Every control that belongs to some page (so it is hidden unless shown).
std::span<const int> allPageControls();

// The page's background bitmap.
int pageBackground(Page page);

bool isToolsPage(Page page);

// Controls that are always shown: the close button and the five tabs.
std::span<const int> frameControls();

// Hidden data lists that no page shows.
std::span<const int> hiddenLists();

// A hover button of the main window: its three faces and its tooltip.
struct ButtonSkin {
  int id;
  int normal, pressed, hover;
  const char* toolTip;
};
std::span<const ButtonSkin> buttonSkins();

// The header band and the label texture.
inline constexpr int kHeaderBitmap = 129;
inline constexpr int kLabelTextureBitmap = 131;
inline constexpr int kHeaderWidth = 700, kHeaderHeight = 85;
inline constexpr int kPageWidth = 700, kPageHeight = 416, kPageTop = 84;
inline constexpr int kWindowWidth = 700, kWindowHeight = 500;

// The address part of label 1009, where a click opens the home page.
struct Rect {
  int left, top, right, bottom;
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
inline constexpr Rect kHomePageLink{174, 432, 292, 442};

}  // namespace app
