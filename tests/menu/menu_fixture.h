// The menu system on the image driver: a fresh screen for every test.
#pragma once

#include <gtest/gtest.h>

#include "app/framework.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/text.h"
#include "menu/input.h"
#include "menu/menu.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"

namespace menutest {

inline int exhausted = 0;

class MenuTest : public ::testing::Test {
 protected:
  void SetUpScreen(int width, int height) {
    app::ResetFramework();
    platform::InstallImageDriver(width, height);
    platform::Image.InputExhaustedHook = [] { ++exhausted; };
    exhausted = 0;
    gfx::InitKernel();
    gfx::BuildStrokeFont();
    menu::Slots.ViewKeyHook = [](menu::KeyCode k) { viewKeys.push_back(static_cast<char>(k)); };
    menu::Slots.ExtendedKeyHook = [](std::uint8_t s) { scans.push_back(static_cast<char>(s)); };
    menu::Slots.GridStepHook = [](menu::KeyCode&) { ++gridDialogs; };
    viewKeys.clear();
    scans.clear();
    gridDialogs = 0;
    menu::ScreenSetUp();
  }
  void SetUp() override { SetUpScreen(1280, 1024); }
  void TearDown() override { app::ResetFramework(); }

  static void Type(const std::string& s) { platform::QueueText(s); }
  static void Key(platform::VirtualKey k, bool ctrl = false, bool shift = false) {
    platform::QueueKey(k, ctrl, shift);
  }
  static void ClickCentre(const menu::MenuButton& b) {
    platform::QueueLeftClick((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
  }

  static inline std::string viewKeys, scans;
  static inline int gridDialogs = 0;
};

}  // namespace menutest
