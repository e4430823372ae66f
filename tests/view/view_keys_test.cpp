// The view keys on the whole screen: the slots' defaults, the screen
// preparation and overlays, the key table, the layouts and the zoom window.
#include <array>
#include <vector>
#include <utility>

#include "graphics/kernel.h"
#include "platform/picture.h"
#include "screen_fixture.h"

namespace viewtest {
namespace {

using view::V;

// --- Slots --------------------------------------------------------------------------

int slotCalls = 0;

// A slot nobody installed names itself on the prompt line and waits for a key.
TEST_F(ScreenTest, DefaultSlotsNameThemselvesAndWaitForAKey) {
  platform::QueueText("qqq");
  view::DefaultWidRis();
  EXPECT_EQ(menu::M.Prompts[0], std::string("Не определена процедура WID_RIS"_sc));
  float a = 1, b = 2, c = 3, d = 4.5f;
  view::DefaultWidGran(a, b, c, d);  // with the sum of its values
  EXPECT_EQ(menu::M.Prompts[0], std::string("Не определена процедура WID_GRAN10.500"_sc));
  EXPECT_EQ(std::pair(a, d), std::pair(1.0f, 4.5f));
  view::ViewKey(4);
  EXPECT_EQ(menu::M.Prompts[0], std::string("Не определена процедура WID_DELLAST"_sc));
  EXPECT_TRUE(platform::Image.Input.empty());
  EXPECT_EQ(Exhausted, 0);
}

// --- Screen preparation and overlays -------------------------------------------------

TEST_F(ScreenTest, GridDrawnTwiceRestoresEveryPixelOverAPicture) {
  view::Redraw();
  EXPECT_EQ(Pictures, 1);
  EXPECT_EQ(platform::Image.ShowCount, 0);  // the pointer hidden and shown again
  const auto before = PictureArea();
  view::DrawGrid(15);
  EXPECT_NE(PictureArea(), before);
  view::DrawGrid(15);
  EXPECT_EQ(PictureArea(), before);
}

TEST_F(ScreenTest, FitViewAppliesTheExtentAndStoresTheSlotOneOrAll) {
  view::ViewKey('b');
  EXPECT_EQ(Pictures, 1);
  const float want = 200.0f / static_cast<float>(V.ViewportWidth - 7);
  const float tall = 120.0f / static_cast<float>(V.ViewportHeight - 7);
  EXPECT_EQ(V.ViewScaleU, want > tall ? want : tall);
  EXPECT_EQ(std::pair(V.ViewCentreU, V.ViewSlot[1].ScaleU), std::pair(0.0f, V.ViewScaleU));
  view::ViewKey('@');  // Ctrl-B fits every viewport
  Pictures = 0;
  view::ViewKey(2);
  EXPECT_EQ(std::pair(Pictures, V.ViewLayout), std::pair(3, 2));
  EXPECT_EQ(V.ViewSlot[3].ScaleU, 200.0f / static_cast<float>(3 * 640 / 8 - 7));
  EXPECT_EQ(V.ViewSlot[2].CentreU, 0.0f);
}

// --- The key table -------------------------------------------------------------------

// R and К redraw in either case; keys outside the table do nothing.
TEST_F(ScreenTest, RedrawKeysInBothLayoutsAndKeysOutsideTheTable) {
  for (int k : {int{'q'}, int{'1'}, 3, 0xC1}) view::ViewKey(static_cast<std::uint8_t>(k));
  EXPECT_EQ(Pictures, 0);
  EXPECT_EQ(V.ViewScaleU, 1.0f);
  for (int k : {int{'R'}, int{'r'}, 0xCA, 0xEA}) view::ViewKey(static_cast<std::uint8_t>(k));
  EXPECT_EQ(Pictures, 4);
}

TEST_F(ScreenTest, TurningAndPanningSteps) {
  view::ViewKey('<');
  EXPECT_EQ(V.RotateMode, 1);
  EXPECT_EQ(std::pair(V.RotationStepSin, V.RotationStepCos), std::pair(0.08715574352615352, 0.996194698023636));
  view::ViewKey(',');
  EXPECT_EQ(std::pair(V.RotationStepSin, V.RotationStepCos), std::pair(0.25881904736704425, 0.965925825682291));
  view::ViewKey('>');
  EXPECT_EQ(V.RotateMode, 0);
  EXPECT_EQ(std::pair(V.PanStepX, V.PanStepY), std::pair(V.ViewportWidth / 8, V.ViewportHeight / 8));
  view::ViewKey('.');
  EXPECT_EQ(std::pair(V.PanStepX, V.PanStepY), std::pair(V.ViewportWidth / 4, V.ViewportHeight / 4));
  EXPECT_EQ(Pictures, 0);
}

// G (or П) asks for the plane's depth and keeps the cursor on the plane;
// E (or У) makes the screen plane the working plane.
TEST_F(ScreenTest, DepthDialogAndScreenPlaneSetTheWorkingPlane) {
  V.CursorWorld[2] = 12;
  platform::QueueText("7.5\r");
  view::ViewKey('g');
  EXPECT_EQ((std::array{V.PlaneDepth, V.PlaneOrigin[2], V.CursorWorld[2]}), (std::array{7.5f, 7.5f, 7.5f}));
  EXPECT_EQ(Pictures, 0);
  platform::QueueText("\x1b");
  view::ViewKey(0xCF);  // П, refused
  EXPECT_EQ(V.PlaneDepth, 7.5f);
  view::LoadView(0, 3);
  V.CursorWorld[0] = 5;
  V.CursorWorld[1] = 7;
  V.CursorWorld[2] = 9;
  V.PlaneDepth = 4;
  view::ViewKey(0xF3);  // у
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(V.PlaneAxes[i][j], V.ViewMatrix[i][j]);
  EXPECT_EQ(V.PlaneDepth, 0.0f);
  // Standard view 3 looks along +y: the cursor drops onto y = 0.
  EXPECT_EQ((std::array{V.CursorWorld[0], V.CursorWorld[1], V.CursorWorld[2]}), (std::array{5.0f, 0.0f, 9.0f}));
  EXPECT_EQ(Pictures, 1);
}

// Each press takes the next scheme: the background mode, the menu's
// foreground and background, the frame and the two bevel colours.
TEST_F(ScreenTest, ColourSchemesCycleThroughFive) {
  auto colours = [] {
    return std::array{V.ColourScheme,       platform::Drv.DrvGetBackMode(), gfx::K.MenuForeground,
                      gfx::K.MenuBackground, menu::M.FrameColour, menu::M.BevelLight, menu::M.BevelDark};
  };
  view::ViewKey(';');
  view::ViewKey(';');
  EXPECT_EQ(colours(), (std::array{2, 2, 15, 8, 8, 0, 15}));
  view::ViewKey(';');
  view::ViewKey(';');
  const auto four = colours();
  EXPECT_EQ((std::array{four[0], four[4], four[5], four[6]}), (std::array{4, 15, 7, 8}));
  view::ViewKey(';');
  const auto zero = colours();
  EXPECT_EQ((std::array{zero[0], zero[3], zero[4]}), (std::array{0, 0, 9}));
  EXPECT_EQ(Pictures, 5);
}

TEST_F(ScreenTest, LayoutSwitchWithoutASidePanelForcesLayoutZero) {
  menu::M.MenuLayout = 1;
  view::ViewKey('%');
  EXPECT_EQ(std::pair(menu::M.MenuLayout, gfx::Layout.PanelWidth), std::pair(0, 0));
  view::ViewKey('/');
  EXPECT_EQ(menu::M.MenuLayout, 0);
  EXPECT_EQ(Pictures, 2);
}

// Ctrl-K cycles the three languages; Ctrl-N and Ctrl-Q call the axes slot,
// Ctrl-Q turning the surface on and off; Ctrl-Z calls its slot.
TEST_F(ScreenTest, LanguageAxesSurfaceAndCtrlZKeys) {
  for (int want : {1, 2, 0}) {
    view::ViewKey(11);
    EXPECT_EQ(gfx::LanguageIndex, want);
  }
  slotCalls = 0;
  view::Slots.AxesHook = [] { ++slotCalls; };
  view::Slots.CtrlZHook = [] { slotCalls += 100; };
  view::ViewKey(14);
  EXPECT_EQ(slotCalls, 1);
  view::ViewKey(17);
  EXPECT_EQ(V.ShadedMode, 1);
  view::ViewKey(17);
  EXPECT_EQ(V.ShadedMode, 0);
  EXPECT_EQ(slotCalls, 3);
  EXPECT_EQ(Pictures, 6);
  view::ViewKey(26);
  EXPECT_EQ(slotCalls, 103);
  EXPECT_EQ(Pictures, 6);
}

TEST_F(ScreenTest, RecallStandardView) {
  V.ViewScaleU = V.ViewScaleV = 2;
  V.ViewCentreU = 5;
  platform::QueueText("03");
  view::ViewKey('v');
  ExpectViewMatrix(3);
  EXPECT_EQ((std::array{V.ViewScaleU, V.ViewScaleV, V.ViewCentreU}), (std::array{2.0f, 2.0f, 5.0f}));  // kept
  EXPECT_GE(Pictures, 1);
  platform::QueueText("q");  // another key changes nothing
  view::LoadView(0, 1);
  view::ViewKey(0xEC);  // м
  ExpectViewMatrix(1);
}

// --- Layouts ---------------------------------------------------------------------------

// Tab does nothing in layout one and cycles the viewports of the others
// (0: viewport 7 selected directly).
TEST_F(ScreenTest, TabCyclesTheTwoAndTheFourViewports) {
  view::ViewKey(9);
  EXPECT_EQ(Pictures, 0);
  std::vector<int> layouts = {V.ViewLayout};
  for (char k : std::string("@\t\t$\0\t\t", 7)) {
    if (k == 0) view::SelectViewport(7);
    else view::ViewKey(static_cast<std::uint8_t>(k));
    layouts.push_back(V.ViewLayout);
  }
  EXPECT_EQ(layouts, (std::vector<int>{1, 2, 3, 2, 4, 7, 4, 5}));
}

// Ctrl-R redraws every viewport and ends in the current one.
TEST_F(ScreenTest, FourViewportsShowStandardViewsOneToThreeAndTheStoredFourthAndRedrawTogether) {
  V.ViewSlot[5].ScaleU = V.ViewSlot[5].ScaleV = 3;
  view::ViewKey('$');
  EXPECT_EQ(Pictures, 4);
  EXPECT_EQ(V.ViewLayout, 4);
  for (int n = 1; n <= 4; ++n) ExpectMatrix(V.ViewSlot[3 + n].Matrix, n);  // 7: what the start-up gave it
  EXPECT_EQ(V.ViewSlot[5].ScaleU, 3.0f);  // the slot keeps its zoom
  ExpectViewMatrix(1);
  view::ViewKey(9);
  ExpectViewMatrix(2);
  EXPECT_EQ(V.ViewScaleU, 3.0f);
  for (int n = 3; n <= 4; ++n) {
    view::ViewKey(9);
    ExpectViewMatrix(n);
  }
  Pictures = 0;
  view::ViewKey(18);  // Ctrl-R redraws them all and ends in the current one
  EXPECT_EQ(std::pair(Pictures, V.ViewLayout), std::pair(5, 7));
  view::ViewKey('!');
  EXPECT_EQ(V.ViewLayout, 1);
  Pictures = 0;
  view::ViewKey(18);
  EXPECT_EQ(Pictures, 1);
}

TEST_F(ScreenTest, SavedViewThreeShowsInViewportThreeAfterTab) {
  view::ViewKey('@');
  view::LoadView(0, 5);
  platform::QueueText("3");
  view::ViewKey(22);
  ExpectMatrix(V.SavedView[3].Matrix, 5);
  view::LoadView(0, 1);
  view::ViewKey(9);
  EXPECT_EQ(V.ViewLayout, 3);
  ExpectViewMatrix(5);
}


// --- Zoom window -----------------------------------------------------------------------

// Z (or Я, я) asks for two corners: Esc at the first abandons; a right click
// at the second abandons too, erasing both shapes; a left click there fits
// the view to the rectangle and stores it in the viewport's slot.
TEST_F(ScreenTest, ZoomWindowByTwoCornersOrAbandoned) {
  platform::QueueText("\x1b");
  view::ViewKey(0xDF);  // Я
  EXPECT_EQ(V.ViewScaleU, 1.0f);
  EXPECT_EQ(menu::M.Prompts[0], std::string("Окно. Укажите угол"_sc));
  for (bool apply : {false, true}) {
    SCOPED_TRACE(apply);
    view::Redraw();
    const auto before = PictureArea();
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ScreenOf(-50, 20, 0, x1, y1);
    ScreenOf(30, -40, 0, x2, y2);
    platform::QueueLeftClick(x1, y1);
    if (apply) platform::QueueLeftClick(x2, y2);
    else platform::QueueRightClick(x2, y2);
    Pictures = 0;
    view::ViewKey(apply ? 0xFF : 'z');  // я
    EXPECT_EQ(menu::M.Prompts[0], std::string("Окно. Укажите другой угол"_sc));
    EXPECT_EQ(Pictures, apply ? 1 : 0);
    EXPECT_EQ(view::Slots.CursorShapeHook, view::DrawCursor);
    EXPECT_EQ(Exhausted, 0);
    if (!apply) {
      EXPECT_EQ(std::pair(V.ViewScaleU, V.ViewCentreU), std::pair(1.0f, 0.0f));
      EXPECT_EQ(PictureArea(), before);  // both shapes erased
      continue;
    }
    EXPECT_EQ((std::array{V.ViewCentreU, V.ViewCentreV, V.ViewSlot[1].CentreU}), (std::array{-10.0f, -10.0f, -10.0f}));
    const float wide = 80.0f / static_cast<float>(V.ViewportWidth - 7);
    const float tall = 60.0f / static_cast<float>(V.ViewportHeight - 7);
    EXPECT_EQ(V.ViewScaleU, wide > tall ? wide : tall);
  }
}

// --- Start-up wiring ----------------------------------------------------------------------

TEST_F(ScreenTest, MenuKeysAndRedrawsReachTheViewThroughTheInstalledHooks) {
  platform::QueueKey(platform::VirtualKey::PageUp);
  menu::KeyCode key = 0;
  menu::MenuReadKey(key);
  EXPECT_EQ(V.ViewScaleU, 1.0f / 1.5f);
  EXPECT_EQ(Pictures, 1);  // the extended key redraws through the view

  platform::QueueText("r");
  menu::MenuReadKey(key);
  EXPECT_EQ(key, menu::kKeyNothing);
  EXPECT_EQ(Pictures, 2);

  platform::QueueText("x8");
  menu::MenuReadKey(key);
  EXPECT_EQ(V.GridStep, 100.0f);
  // A redraw with the menu shows the prompts again; the measuring redraw
  // runs the picture slot installed later.
  Pictures = 0;
  menu::PromptLine(0, "abc");
  view::RedrawWithMenu();
  EXPECT_EQ(Pictures, 1);
  EXPECT_EQ(menu::M.Prompts[0], "abc");
  view::Slots.WID_RIS = [] { Pictures += 10; };
  store::Slots.RedrawForMeasure();
  EXPECT_EQ(Pictures, 11);
}

}  // namespace
}  // namespace viewtest
