// The five tools pages the main window hands their commands to.
#pragma once

#include "tools/win32/activex_page.h"
#include "tools/win32/optimisation_page.h"
#include "tools/win32/plugin_page.h"
#include "tools/win32/process_startup_page.h"

namespace tools {

struct ToolsPages {
  explicit ToolsPages(app::WindowContext& context)
      : optimisation(context), activeX(context), processStartup(context), plugins(context) {}

  OptimisationPage optimisation;
  ActiveXPage activeX;
  ProcessStartupPage processStartup;
  PluginPage plugins;
};

}  // namespace tools
