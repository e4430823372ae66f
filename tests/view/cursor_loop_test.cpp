// The cursor loop on the whole screen: step keys, the step menu, the
// read-out, the mouse, and that the cursor leaves the picture as it was.
#include <algorithm>
#include <array>
#include <utility>
#include <cmath>

#include "screen_fixture.h"

namespace viewtest {
namespace {

using platform::VirtualKey;
using view::V;

class CursorLoopTest : public ScreenTest {
 public:
  void SetUp() override {
    ScreenTest::SetUp();
    view::Redraw();
    Pictures = 0;
  }

  static void StartAt(float x, float y, float z) {
    V.CursorWorld[0] = x;
    V.CursorWorld[1] = y;
    V.CursorWorld[2] = z;
  }

  // Runs the cursor loop on the keys typed.
  void Run(const std::string& keys) {
    platform::QueueText(keys);
    view::GetCursorPoint(x, y, z, key);
  }

  float x = 0, y = 0, z = 0;
  std::uint8_t key = 0;
};

// Step keys land on multiples of the step (halves to even), Shift-Up and
// Shift-Down leave the plane, End comes back to it, and a step that would
// leave the viewport is refused. Keys in the rows: arrows as 0 and their
// scan code (Right "M", Left "K", Up "H", Down "P", Shift-Up 152, End "O").
TEST_F(CursorLoopTest, StepKeysLandOnMultiplesOfTheStep) {
  using namespace std::string_literals;
  const float edge = std::floor(static_cast<float>(V.ViewportWidth - V.ScreenCentreX) / 10) * 10;
  struct Row { float x0, y0, z0; std::string keys; float x, y, z; };
  const Row rows[] = {
      {3, 0, 0, "\0M"s, 10, 0, 0},   {3, 0, 0, "\0K"s, -10, 0, 0},
      {15, 0, 0, "\0M"s, 20, 0, 0},  {25, 0, 0, "\0M"s, 40, 0, 0},
      {0, 0, 0, "\0H\0H\0P\0\x98"s, 0, 10, 10},
      {5, 6, 7, "\0O"s, 5, 6, 0},
      {edge, 0, 0, "\0M"s, edge, 0, 0},
  };
  for (const Row& r : rows) {
    StartAt(r.x0, r.y0, r.z0);
    Run(r.keys + "q");
    EXPECT_EQ((std::array{x, y, z}), (std::array{r.x, r.y, r.z})) << r.x0 << " " << r.y0;
    EXPECT_EQ(V.CursorWorld[0], r.x);
    EXPECT_EQ(key, 'q');
  }
}

// + and − make the step four times larger or smaller, , and < turn the
// cross, X opens the step menu, Ctrl-arrows pan in either rotate mode and
// PageUp zooms in.
TEST_F(CursorLoopTest, StepAngleAndViewKeys) {
  Run("++q");
  EXPECT_EQ(std::pair(V.CursorStep, V.CursorStepX), std::pair(160.0f, 160.0f));
  Run("-,<q");
  EXPECT_EQ(std::pair(V.CursorStep, V.CursorStepZ), std::pair(40.0f, 40.0f));
  EXPECT_FLOAT_EQ(V.CursorAngle, static_cast<float>(16 * 3.14159265358979 / 180));
  EXPECT_EQ(V.CursorAngleSin, std::sin(V.CursorAngle));
  Run("x3q");
  EXPECT_EQ(std::pair(V.CursorStep, V.CursorStepY), std::pair(0.1f, 0.1f));
  EXPECT_EQ(key, 'q');
  EXPECT_EQ(Pictures, 0);
  V.RotateMode = 1;
  platform::QueueKey(VirtualKey::Left, true);
  platform::QueueKey(VirtualKey::PageUp);
  Run("q");
  EXPECT_EQ(V.ViewCentreU, static_cast<float>(V.PanStepX));
  EXPECT_EQ(V.ViewScaleU, 1.0f / 1.5f);
  EXPECT_EQ(Pictures, 2);
}

TEST_F(CursorLoopTest, ViewKeysRunInsideTheLoop) {
  static int helps = 0;
  menu::Slots.HelpHook = [](int context) { helps += context == menu::kHelpCursor; };
  platform::QueueText("rR");
  platform::QueueKey(VirtualKey::F1);  // the help of the cursor
  Run("q");
  EXPECT_EQ(Pictures, 2);
  EXPECT_EQ(helps, 1);
  EXPECT_EQ(key, 'q');
}

// Whether the keys were typed ahead or come one by one as the loop waits,
// the cursor follows the pointer; the left button ends with a blank, the
// right one with Enter.
TEST_F(CursorLoopTest, MouseMovesTheCursorWithinTheViewportAndAButtonEnds) {
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    platform::Image.TypeAhead = run != 1;
    StartAt(0, 0, 0);
    const float wx = run < 2 ? 40 : -20, wy = run < 2 ? -30 : 10;
    int sx = 0, sy = 0;
    ScreenOf(wx, wy, 0, sx, sy);
    if (run < 2) {
      platform::QueueMouseMove(sx, sy);
      platform::QueueLeftClick(sx, sy);
    } else {
      platform::QueueRightClick(sx, sy);
    }
    Run("");
    EXPECT_EQ(key, run < 2 ? ' ' : 13);
    EXPECT_EQ(std::pair(x, y), std::pair(wx, wy));
  }
  platform::QueueMouseMove(5000, 5000);  // outside the viewport: clamped to its edge
  Run("q");
  std::int32_t px = 0, py = 0;
  view::WorldToPixel(x, y, z, px, py);
  EXPECT_EQ(std::pair(px, py), std::pair(V.ViewportWidth, V.ViewportHeight));
}

TEST_F(CursorLoopTest, ACursorRunLeavesThePictureAsItWas) {
  const auto before = PictureArea();
  int sx = 0, sy = 0;
  ScreenOf(33, 21, 0, sx, sy);
  platform::QueueKey(VirtualKey::Right);
  platform::QueueKey(VirtualKey::Up, false, true);
  platform::QueueText(",.>");
  platform::QueueMouseMove(sx, sy);
  platform::QueueKey(VirtualKey::Down);
  Run("+q");
  EXPECT_EQ(PictureArea(), before);
  EXPECT_EQ(gfx::K.XorMode, 0);
  EXPECT_EQ(gfx::K.LineStyle, 0);
  EXPECT_EQ(platform::Image.ShowCount, 0);
  EXPECT_EQ(Exhausted, 0);
}

// --- Step menu ----------------------------------------------------------------------

// The digits take the steps of the table; 9 (or ч) asks for a number, and
// Esc, at once or in the number, keeps the value. The prompt lines come back.
TEST_F(ScreenTest, StepMenuDigitsAndNumbers) {
  menu::PromptLine(0, "before");
  menu::PromptLine(1, "one");
  const struct { std::string Keys; float Value; std::uint8_t Key; } kRows[] = {
      {"1", 1, '1'},    {"2", 2, '2'},     {"3", 0.1f, '3'},  {"4", 4, '4'},
      {"5", 5, '5'},    {"6", 0.5f, '6'},  {"7", 10, '7'},    {"8", 100, '8'},
      {"92.5\r", 2.5f, '9'}, {"\xF7" "7\r", 7, 0xF7}, {"\x1b", 10, 27}, {"9\x1b", 10, '9'}};
  for (const auto& r : kRows) {
    float value = 10;
    std::uint8_t key = 0;
    platform::QueueText(r.Keys);
    view::StepMenu("Шаг"_sc, value, key);
    EXPECT_EQ(value, r.Value) << r.Keys;
    EXPECT_EQ(key, r.Key) << r.Keys;
  }
  EXPECT_EQ((std::array{menu::M.Prompts[0], menu::M.Prompts[1], menu::M.Prompts[2]}),
            (std::array<std::string, 3>{"before", "one", ""}));
}

std::string shownLines[menu::kPromptLines];

TEST_F(ScreenTest, StepMenuShowsItsFourLines) {
  // The input runs out at the menu's key: the lines are on show then.
  platform::Image.InputExhaustedHook = [] {
    for (int i = 0; i < menu::kPromptLines; ++i) shownLines[i] = menu::M.Prompts[i];
  };
  float value = 10;
  std::uint8_t key = 0;
  view::StepMenu("Шаг сетки"_sc, value, key);
  EXPECT_EQ(shownLines[0], std::string("            Шаг сетки  10.000     X - Ввести число"_sc));
  EXPECT_EQ(shownLines[1], std::string(" 1     1 мм            4     4 мм            7    10 мм"_sc));
  EXPECT_EQ(shownLines[2], std::string(" 2     2 мм            5     5 мм            8   100 мм"_sc));
  EXPECT_EQ(shownLines[3], std::string(" 3   0,1 мм            6   0,5 мм            9 Ввести число"_sc));
  EXPECT_EQ(value, 10.0f);
  EXPECT_EQ(menu::M.Prompts[0], "");
}

// --- Grid-step dialog -------------------------------------------------------------------

// The same step erases the grid and draws it again, leaving the picture;
// another sets the grid's and the cursor's step and shows the grid.
TEST_F(ScreenTest, GridStepDialogSetsTheStepAndRedrawsTheGrid) {
  view::Redraw();
  const auto before = PictureArea();
  platform::QueueText("7");
  std::uint8_t key = 0;
  view::GridStepDialog(key);
  EXPECT_EQ(key, '0');
  EXPECT_EQ(V.GridStep, 10.0f);
  EXPECT_EQ(PictureArea(), before);
  platform::QueueText("2");
  view::GridStepDialog(key);
  EXPECT_EQ((std::array{V.GridStep, V.CursorStep}), (std::array{2.0f, 2.0f}));
  EXPECT_EQ(V.GridShown, 1);
  EXPECT_EQ((std::array{menu::M.Prompts[0], menu::M.Prompts[1], menu::M.Prompts[2]}),
            (std::array<std::string, 3>{"SETKA", "SETKA 0", "SETKA 0"}));
}

}  // namespace
}  // namespace viewtest
