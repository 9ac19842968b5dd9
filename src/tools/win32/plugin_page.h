// The BHO page: the browser add-ons of both registry views that are not
// switched off; Delete switches the checked ones off, Recovery all on again.
#pragma once

#include <vector>

#include "app/win32/window_page.h"
#include "platform/win32/win32_registry.h"
#include "tools/addon_list.h"

namespace tools {

class PluginPage final : public app::WindowPage {
 public:
  explicit PluginPage(app::WindowContext& context) : context_(context) {}

  void onCommand(int id) override;

  void showPluginPage();
  void deletePlugins();
  void recoverPlugins();

  const std::vector<AddonRow>& rows() const { return rows_; }

 private:
  app::WindowContext& context_;
  win32::Win32Registry native_{win32::RegistryView::Default};
  win32::Win32Registry view32_{win32::RegistryView::Bits32};
  std::vector<AddonRow> rows_;  // as list 1051 shows them on this page
};

}  // namespace tools
