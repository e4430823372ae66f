// A whole picture through the store and the screen renderer: a hatched
// outline, an axis line, arcs and texts in several directions on a
// 1280 × 1024 picture fitted to the drawing, written as a PNG for looking at.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <numbers>

#include "graphics/kernel.h"
#include "graphics/text.h"
#include "platform/codepage.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"
#include "store/builders.h"
#include "store/store.h"
#include "view/store_render.h"
#include "view/view.h"

namespace {

constexpr int kWidth = 1280, kHeight = 1024;

void Outline() {
  store::BeginPolyline();
  const float corners[][2] = {{-60, 0}, {-20, 0}, {-20, 60}, {-40, 80}, {-60, 60}, {-60, 0}};
  for (const auto& c : corners) store::AddPoint(c[0], c[1], 0);
}

void DrawPicture() {
  // The outline, then its hatching.
  gfx::SetColor(15);
  store::ClearStore();
  Outline();
  store::CloseStore();
  store::Slots.FlushStore();
  gfx::SetColor(11);
  store::ClearStore();
  Outline();
  store::CloseStore();
  store::HatchStore(3, 45);
  store::Slots.FlushStore();

  // The axis.
  gfx::SetColor(12);
  const float p1[3] = {0, -10, 0}, p2[3] = {0, 90, 0};
  store::NewAxisLine(p1, p2, 5, 5);
  store::Slots.FlushStore();

  // Arcs: a half circle, a quarter of a larger one and a full circle.
  gfx::SetColor(14);
  store::ClearStore();
  const float e1[3] = {1, 0, 0}, e2[3] = {0, 1, 0};
  const float m1[3] = {40, 20, 0}, m2[3] = {40, 20, 0}, m3[3] = {40, 70, 0};
  const float pi = std::numbers::pi_v<float>;
  store::AddArc(m1, e1, e2, 20, 0, pi, 0.1f, 0);
  store::AddArc(m2, e1, e2, 30, -pi / 2, 0, 0.1f, 0);
  store::AddArc(m3, e1, e2, 12, 0, 2 * pi, 0.1f, 0);
  store::CloseStore();
  store::Slots.FlushStore();

  // Texts turned about one anchor.
  gfx::SetColor(10);
  store::ClearStore();
  // Rays out of one centre; a text whose direction points left is turned
  // round so that it still reads from left to right.
  const int angles[] = {-60, -30, 0, 30, 60, 90};
  for (int a : angles) {
    const float r = static_cast<float>(a) * pi / 180;
    store::AddTextLeft("Угол"_sc, 10 + 6 * std::cos(r), -40 + 6 * std::sin(r), 0, std::sin(r),
                       std::cos(r), 3, 2.5f, 0);
  }
  const float r150 = 150 * pi / 180;
  store::AddTextLeft("150 градусов"_sc, -30, -40, 0, std::sin(r150), std::cos(r150), 3, 2.5f, 0);
  store::AddTextLeft("Оболочка вращения"_sc, -60, -70, 0, 0, 1, 5, 3.5f, 0);
  store::AddTextLeft("Font 1: x\\2|3"_sc, 20, -70, 0, 0, 1, 4, 3, 1);
  store::CloseStore();
  store::Slots.FlushStore();
}

TEST(StoreRenderPicture, HatchAxisArcsAndTextsFitTheView) {
  platform::InstallImageDriver(kWidth, kHeight);
  gfx::InitKernel();
  gfx::BuildStrokeFont();
  gfx::Layout = gfx::ScreenLayout{};
  gfx::SetWindow(0, 0, kWidth - 1, kHeight - 1);
  view::V = view::ViewState{};
  view::UpdateViewCoefficients();
  view::V.ViewportWidth = kWidth;
  view::V.ViewportHeight = kHeight;
  view::V.ScreenCentreX = kWidth / 2;
  view::V.ScreenCentreY = kHeight / 2;
  store::InitStore();
  gfx::InstallStoreRenderer();
  store::Slots.RedrawForMeasure = DrawPicture;

  float umin = 0, vmin = 0, umax = 420, vmax = 300;
  store::MeasureExtent2D(umin, vmin, umax, vmax);
  EXPECT_LT(umin, -59);
  EXPECT_GT(umax, 69);
  // A margin of 5 % around the drawing, so that descenders stay inside.
  const float du = (umax - umin) / 20, dv = (vmax - vmin) / 20;
  view::SetViewWindow(umin - du, vmin - dv, umax + du, vmax + dv);
  DrawPicture();

  // The axis is dash-dot along x = 0; the outline's left edge is white.
  std::int32_t x = 0, y = 0;
  view::WorldToPixel(-60, 30, 0, x, y);
  EXPECT_EQ(platform::PictureColour(x, y), platform::Palette[15]);
  view::WorldToPixel(40, 40, 0, x, y);  // the top of the half circle
  bool arc = false;
  for (int dy = -1; dy <= 1; ++dy) arc |= platform::PictureColour(x, y + dy) == platform::Palette[14];
  EXPECT_TRUE(arc);

  mkdir("/tmp/brelmora-shots", 0755);
  EXPECT_EQ(platform::WritePicturePng("/tmp/brelmora-shots/store-render-1280x1024.png"), "");
  store::Slots.RedrawForMeasure = [] {};
  store::Slots.ScreenFlush = [] {};
  store::Slots.ReadImageSize = [](const char*, int&, int&) { return false; };
  store::Slots.ShowMessage = [](const char*, bool, int) {};
  store::InitStore();
  view::V = view::ViewState{};
  view::UpdateViewCoefficients();
}

}  // namespace
