// The main window made in a window test: open it, send it a command, save
// a screenshot of it. The tests that derive from it add their own set-up.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/win32/main_window.h"
#include "gui/gui_harness.h"
#include "support/screenshot.h"

namespace gui {

class MainWindowFixture : public ::testing::Test {
 protected:
  HWND open() {
    window_ = std::make_unique<app::MainWindow>("");
    HWND w = window_->create();
    pump(300);
    return w;
  }
  void command(int id) {
    SendMessageW(window_->window(), WM_COMMAND, id, 0);
    pump(100);
  }
  void shot(const std::string& name) {
    pump(200);
    testing_support::saveScreenshot(window_->window(), name);
  }

  std::unique_ptr<app::MainWindow> window_;
};

}  // namespace gui
