// The pieces of the application's picture, read back from the drawing store,
// and the rows of its result table.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/framework.h"
#include "app/bending_solver.h"
#include "app/picture.h"
#include "app/picture_fit.h"
#include "app/result_table.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "platform/codepage.h"
#include "store/store.h"
#include "support/shell_files.h"

namespace {

// Text j of the store and its corners.
std::string TextAt(int j, float corners[9] = nullptr) {
  const char* text = nullptr;
  float c[9];
  int font = 0;
  store::GetText(j, text, corners ? corners : c, font);
  return text;
}

// Each flush of the picture: its counts and texts.
struct Piece { int Objects = 0, Points = 0; std::vector<std::string> Texts; };
std::vector<Piece> pieces;

void RecordPiece() {
  pieces.push_back({store::Store.ObjectCount, store::Store.PointCount, {}});
  for (int j = 1; j <= store::Store.TextCount; ++j) pieces.back().Texts.push_back(TextAt(j));
}

class Picture : public ::testing::Test {
 protected:
  void SetUp() override {
    gfx::InitKernel();
    store::InitStore();
    app::ResetShellModel(app::Shell);
    pieces.clear();
    store::Slots.FlushStore = RecordPiece;
  }
  void TearDown() override { app::ResetFramework(); }
};

// 48 segments of 10 mm give end values 2.5 picture mm apart at the font's
// 2.7: those that would cover one already written are left out.
TEST_F(Picture, CrowdedEndValuesNeverCoverEachOther) {
  app::Shell.SectionCount = app::kMaxSections;
  for (int i = 1; i <= app::kMaxSections; ++i) {
    app::Shell.SectionRadius[i] = 100, app::Shell.SectionHeight[i] = 10.0f * (i - 1);
    app::Shell.GeneratrixKind[i] = 0;
  }
  testing_support::Solved(app::Shell, app::Solution);
  store::ClearStore();
  app::DrawDiagram("Давление, МПа"_sc, "             "_sc, app::Solution.Pressure, 100, 6, 3);
  std::vector<std::array<float, 4>> boxes;  // left, right, bottom, top
  for (int j = 3; j <= store::Store.TextCount; ++j) {
    float c[9];
    TextAt(j, c);
    boxes.push_back({c[0], c[3], c[1], c[7]});
  }
  EXPECT_GT(boxes.size(), 10u);
  EXPECT_LT(boxes.size(), 2u * 48);
  for (size_t a = 0; a < boxes.size(); ++a)
    for (size_t b = a + 1; b < boxes.size(); ++b)
      EXPECT_FALSE(boxes[a][0] < boxes[b][1] && boxes[b][0] < boxes[a][1] && boxes[a][2] < boxes[b][3] &&
                   boxes[b][2] < boxes[a][3])
          << "values " << a << " and " << b;
}

// The pieces of the picture: origin, axis, scale, 2 × (wall, hatch),
// contour, 2 supports, the liquid surface only where a segment holds the
// level, 10 diagrams, and the table, which says when the step was enlarged;
// a shell the bending analysis cannot solve keeps the membrane picture.
TEST_F(Picture, ThePiecesFollowTheShell) {
  const struct { const char* Name; void (*Change)(); std::size_t Pieces, Rows; int Piece, Text; const char* Starts; } kRows[] = {
      {"default", [] {}, 22, 16, 12, 0, "Продольная сила, Н"},
      {"liquid above the shell", [] { app::Shell.LiquidLevel = 500; }, 21, 16, 11, 0, "Продольная сила, Н"},
      {"step enlarged", [] { app::Shell.ContourStep = 0; }, 22, 17, 21, 16, "Шаг по контуру увеличен до "},
      {"bending not solved",  // no elastic wall for the bending analysis
       [] { app::PictureAnalysis = app::Analysis::Bending, app::Shell.PoissonRatio = 0.5f; }, 22, 16, 12, 0,
       "Продольная сила, Н"},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.Name);
    app::ResetShellModel(app::Shell);
    pieces.clear();
    r.Change();
    app::DrawShellPicture();
    ASSERT_EQ(pieces.size(), r.Pieces);
    EXPECT_EQ(pieces.back().Texts.size(), r.Rows);
    const std::string starts = gfx::ScreenFromUtf8(r.Starts);
    EXPECT_EQ(pieces[r.Piece].Texts[r.Text].substr(0, starts.size()), starts);
  }
  EXPECT_EQ(app::Bending.Fault, app::BendingFault::Material);
  app::PictureAnalysis = app::Analysis::Membrane;
}

// Each flush as a rectangle over its points and texts, with its layer and
// colour: one rectangle per piece of the picture.
struct Flushed { app::PictureRect Rect; std::string Layer; int Colour; };
std::vector<Flushed> flushed;

// The rectangle holding a and b.
app::PictureRect Union(const app::PictureRect& a, const app::PictureRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Bottom, b.Bottom), std::max(a.Right, b.Right), std::max(a.Top, b.Top)};
}
constexpr app::PictureRect kNothing{1e30f, 1e30f, -1e30f, -1e30f};

void RecordRect() {
  app::PictureRect r = kNothing;
  for (int n = 1; n <= store::Store.PointCount; ++n) {
    float x, y, z;
    store::PointGet(n, x, y, z);
    r = Union(r, {x, y, x, y});
  }
  for (int j = 1; j <= store::Store.TextCount; ++j) {
    float c[9];
    TextAt(j, c);
    const float x4 = c[3] + c[6] - c[0], y4 = c[4] + c[7] - c[1];
    r = Union(Union(r, {c[0], c[1], c[0], c[1]}), Union({c[3], c[4], c[3], c[4]}, {c[6], c[7], c[6], c[7]}));
    r = Union(r, {x4, y4, x4, y4});
  }
  flushed.push_back({r, store::Store.Layer, gfx::GetColor()});
}

// After a fit, the table, the scheme, the scale bar, the design line and
// every diagram (with its marks) keep apart, and the picture is no wider
// than the window's shape.
TEST_F(Picture, AFittedPictureKeepsItsPiecesApart) {
  using Sections = std::vector<std::array<float, 5>>;  // r, z, arc radius, kind of the segment from there, wall
  Sections many = {{0, 0, 500, 1, 4}};
  for (int i = 0; i < 47; ++i) many.push_back({500, 500 + 100.0f * i, 0, 0, 4});
  many.push_back({0, 5600, 500, 1, 4});
  const struct {
    const char* Name;
    Sections Shell;  // empty: the default sphere
    float Pressure, Level, Overload, Allowable;
    bool Bending = false;
  } kShells[] = {
      {"default sphere", {}, 0.2f, 150, 10, 0},
      {"tank R 1000, hemispherical heads, water to 70 %", {{0, 0, 1000, 1, 4}, {1000, 1000, 0, 0, 4}, {1000, 3000, 1000, 1, 4}, {0, 4000, 0, 0, 4}}, 0.3f, 2800, 1, 60},
      {"45 degree cone and cylinder", {{0, 0, 0, 0, 4}, {500, 500, 0, 0, 4}, {500, 1500, 0, 0, 4}}, 0.5f, 1000, 1, 0},
      {"49 sections", many, 0.4f, 3000, 1, 0},
      {"tank with bending", {{0, 0, 1000, 1, 4}, {1000, 1000, 0, 0, 4}, {1000, 3000, 1000, 1, 4}, {0, 4000, 0, 0, 4}}, 0.3f, 2800, 1, 60, true},
      {"cone and cylinder with bending: its lid", {{0, 0, 0, 0, 4}, {500, 500, 0, 0, 4}, {500, 1500, 0, 0, 4}}, 0.5f, 1000, 1, 0, true},
  };
  for (const auto& shell : kShells) {
    for (float aspect : {1280.0f / 880, 1920.0f / 936}) {
      SCOPED_TRACE(std::string(shell.Name) + ", aspect " + std::to_string(aspect));
      app::ResetShellModel(app::Shell);
      if (!shell.Shell.empty()) app::Shell = testing_support::ShellOf(shell.Shell, 0, 1, 0, 1, 7.85f, 2);
      app::Shell.InternalPressure = shell.Pressure;
      app::Shell.LiquidLevel = shell.Level;
      app::Shell.Overload = shell.Overload;
      app::Shell.AllowableStress = shell.Allowable;
      app::PictureAnalysis = shell.Bending ? app::Analysis::Bending : app::Analysis::Membrane;
      ASSERT_TRUE(app::FitPictureScales(aspect));
      flushed.clear();
      store::Slots.FlushStore = RecordRect;
      app::DrawShellPicture();
      // Pieces: the scheme's flushes and each diagram with its marks are one
      // piece each; the origin mark stands alone.
      std::vector<std::pair<std::string, app::PictureRect>> pieces;
      app::PictureRect scheme = kNothing, all = kNothing;
      for (std::size_t i = 0; i < flushed.size(); ++i) {
        const Flushed& f = flushed[i];
        all = Union(all, f.Rect);
        app::PictureRect& marks = pieces.empty() ? scheme : pieces.back().second;
        if (i > 0 && (f.Layer == "SCHEME" || f.Layer == "DEFORMED")) scheme = Union(scheme, f.Rect);
        else if (f.Layer == "DIAGRAMS" && f.Colour == app::kWarningColour) marks = Union(marks, f.Rect);
        else pieces.push_back({f.Layer + " " + std::to_string(i), f.Rect});
      }
      pieces.push_back({"scheme", scheme});
      EXPECT_EQ(pieces.size(), 1u + 10 + 2 + 1 + (shell.Allowable > 0 ? 1 : 0));  // + table, bar, scheme, line
      for (std::size_t i = 0; i < pieces.size(); ++i)
        for (std::size_t j = i + 1; j < pieces.size(); ++j)
          EXPECT_FALSE(app::RectsMeet(pieces[i].second, pieces[j].second, 0)) << pieces[i].first << " meets " << pieces[j].first;
      // The step is rounded up to half millimetres after the scale is found.
      EXPECT_LE(all.Right - all.Left, aspect * (all.Top - all.Bottom) * 1.02f);
    }
  }
  app::PictureAnalysis = app::Analysis::Membrane;
}

TEST(ResultTable, EnglishLabelsKeepTheRussianWidths) {
  app::ShellModel m;
  app::ResetShellModel(m);
  static app::ShellSolution s;
  app::ResultRow rows[app::kResultRows];
  app::ResultTableRows(m, s, rows);
  for (const auto& row : rows) {
    std::string ru = gfx::LangPartOf(row.Label, 0), en = gfx::LangPartOf(row.Label, 1);
    EXPECT_EQ(ru.size(), en.size()) << gfx::Utf8FromScreen(ru);
    EXPECT_TRUE(ru.size() == 30 || ru.size() == 29);
  }
}

}  // namespace
