// The pieces of the application's picture, read back from the drawing store.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/framework.h"
#include "app/bending_solver.h"
#include "app/picture.h"
#include "app/picture_fit.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "graphics/kernel.h"
#include "platform/codepage.h"
#include "store/store.h"

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
  static void Solve() {
    app::SolveShell(app::Shell, app::Solution);
    app::SolveShell(app::Shell, app::Solution);
  }
  static int ObjectPoints(int i) {
    int first = 0, last = 0;
    store::GetObjectRange(i, first, last);
    return last - (first < 0 ? -first : first) + 1;
  }
  static std::array<float, 3> PointAt(int n) {
    std::array<float, 3> p;
    store::PointGet(n, p[0], p[1], p[2]);
    return p;
  }
};

TEST_F(Picture, ScaleBarTexts) {
  store::ClearStore();
  app::DrawScaleBar(0, 0, 0.25f, 5 / 0.25f, 5);
  store::CloseStore();
  ASSERT_EQ(store::Store.TextCount, 3);
  EXPECT_EQ(TextAt(1), "M  0.250");
  EXPECT_EQ(TextAt(2), "0");
  EXPECT_EQ(TextAt(3), "100мм"_sc);
  EXPECT_EQ(store::Store.ObjectCount, 1 + 6);  // the bar and six ticks
}

TEST_F(Picture, PolesGetNoDiagramPointButTheirValue) {
  Solve();
  store::ClearStore();
  app::DrawDiagram("Давление, МПа"_sc, "             "_sc, app::Solution.Pressure, 100, 6, 3);
  // Baseline, two curves and one hatch line per node off the axis: the two
  // poles of the sphere are left out.
  ASSERT_EQ(store::Store.ObjectCount, 1 + 2 + 32);
  EXPECT_EQ(ObjectPoints(1), 32);
  EXPECT_EQ(ObjectPoints(2), 16);
  EXPECT_EQ(ObjectPoints(3), 16);
  for (int i = 4; i <= 35; ++i) EXPECT_EQ(ObjectPoints(i), 2);
  // Title, units and the end values of both segments, the poles' too.
  ASSERT_EQ(store::Store.TextCount, 6);
  EXPECT_EQ(TextAt(1), "Давление, МПа"_sc);
  EXPECT_EQ(TextAt(3), " 0.215");  // the lower pole, under 150 mm of liquid at 10 g
  EXPECT_EQ(TextAt(6), " 0.200");  // the upper pole, above the liquid
}

// 48 segments of 10 mm give end values 2.5 picture mm apart at the font's
// 2.7: those that would cover one already written are left out.
TEST_F(Picture, CrowdedEndValuesNeverCoverEachOther) {
  app::Shell.SectionCount = app::kMaxSections;
  for (int i = 1; i <= app::kMaxSections; ++i) {
    app::Shell.SectionRadius[i] = 100, app::Shell.SectionHeight[i] = 10.0f * (i - 1);
    app::Shell.GeneratrixKind[i] = 0;
  }
  Solve();
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

TEST_F(Picture, AStraightSegmentIsAClosedBandAndAnArcHasItsCentreDot) {
  store::ClearStore();
  app::DrawWallOutline();  // the default sphere: two arcs
  store::CloseStore();
  ASSERT_EQ(store::Store.ObjectCount, 4);
  EXPECT_EQ(ObjectPoints(1), 1);              // the centre of the lower arc
  EXPECT_EQ(ObjectPoints(2), 1 + 17 + 2 + 17 + 2);  // two 18-chord arcs joined at the ends
  EXPECT_NEAR(PointAt(1)[0], 0, 1e-4);
  EXPECT_NEAR(PointAt(1)[1], 100, 1e-4);

  app::Shell.GeneratrixKind[1] = 0;
  store::ClearStore();
  app::DrawWallOutline();
  store::CloseStore();
  EXPECT_EQ(ObjectPoints(1), 5);  // P1 P2 P3 P4 P1: a band as wide as the wall
  EXPECT_EQ(PointAt(1), PointAt(5));
  // P2 and P3 lie at the section (0, 0), one thickness (2 mm) apart.
  EXPECT_NEAR(std::hypot(PointAt(3)[0] - PointAt(2)[0], PointAt(3)[1] - PointAt(2)[1]), 2, 1e-5);
}

TEST_F(Picture, TheLiquidSurfaceOnlyWhereASegmentHoldsTheLevel) {
  app::DrawShellPicture();
  const std::size_t withLiquid = pieces.size();
  EXPECT_EQ(withLiquid, 22u);  // origin, axis, scale, 2 × (wall, hatch), contour, 2 supports, liquid, 10 diagrams, table
  pieces.clear();
  app::Shell.LiquidLevel = 500;  // above the shell
  app::DrawShellPicture();
  EXPECT_EQ(pieces.size(), withLiquid - 1);
}

TEST_F(Picture, TheTableSaysWhenTheStepWasEnlarged) {
  app::DrawShellPicture();
  ASSERT_FALSE(pieces.empty());
  EXPECT_EQ(pieces.back().Texts.size(), 16u);  // the title and fifteen rows
  EXPECT_EQ(pieces.back().Texts[1], "Давление, бар                      2.000"_sc);
  pieces.clear();
  app::Shell.ContourStep = 0;
  app::DrawShellPicture();
  ASSERT_EQ(pieces.back().Texts.size(), 17u);
  EXPECT_EQ(pieces.back().Texts[16].substr(0, 27), "Шаг по контуру увеличен до "_sc);
}

// With bending the diagram beside the pressure shows M1, the stress
// diagrams the larger surface stress, the table gains the peak; a shell
// the bending analysis cannot solve keeps the membrane picture.
TEST_F(Picture, BendingShowsTheMomentTheSurfaceStressesAndThePeak) {
  app::PictureAnalysis = app::Analysis::Bending;
  app::DrawShellPicture();
  ASSERT_EQ(pieces.size(), 22u);
  EXPECT_EQ(pieces[12].Texts[0], "Меридианальный момент"_sc);
  EXPECT_EQ(pieces[12].Texts[1], "Н*мм/мм"_sc);
  const std::vector<std::string>& table = pieces.back().Texts;
  ASSERT_EQ(table.size(), 19u);
  EXPECT_EQ(table[16], "Пик экв. напряжения, МПа          5.416"_sc);  // at the lower pole
  EXPECT_EQ(table[17], "Участок пика                          1"_sc);
  EXPECT_EQ(table[18], "Высота пика, мм                   0.000"_sc);
  // The meridional stress diagram's end values at the equator, where the
  // wall turns from 2 to 4 mm: each side's surface of the larger stress.
  EXPECT_EQ(pieces[15].Texts[3], " 6.069");
  EXPECT_EQ(pieces[15].Texts[4], " 2.605");
  pieces.clear();
  app::Shell.PoissonRatio = 0.5f;  // no elastic wall for the bending analysis
  app::DrawShellPicture();
  EXPECT_EQ(app::Bending.Fault, app::BendingFault::Material);
  EXPECT_EQ(pieces[12].Texts[0], "Продольная сила, Н"_sc);
  EXPECT_EQ(pieces.back().Texts.size(), 16u);
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

// A shell from its sections: r, z, arc radius and kind of the segment that
// starts there, thickness 4 mm.
struct Section { float R, Z, Arc; int Kind; };
void Build(const std::vector<Section>& sections) {
  app::Shell.SectionCount = static_cast<int>(sections.size());
  for (std::size_t i = 0; i < sections.size(); ++i) {
    app::Shell.SectionRadius[i + 1] = sections[i].R;
    app::Shell.SectionHeight[i + 1] = sections[i].Z;
    app::Shell.ArcRadius[i + 1] = sections[i].Arc;
    app::Shell.GeneratrixKind[i + 1] = sections[i].Kind;
    app::Shell.Thickness[i + 1] = 4;
  }
}

// After a fit, the table, the scheme, the scale bar, the design line and
// every diagram (with its marks) keep apart, and the picture is no wider
// than the window's shape.
TEST_F(Picture, AFittedPictureKeepsItsPiecesApart) {
  std::vector<Section> many = {{0, 0, 500, 1}};
  for (int i = 0; i < 47; ++i) many.push_back({500, 500 + 100.0f * i, 0, 0});
  many.push_back({0, 5600, 500, 1});
  const struct {
    const char* Name;
    std::vector<Section> Sections;  // empty: the default sphere
    float Pressure, Level, Overload, Allowable;
    bool Bending = false;
  } kShells[] = {
      {"default sphere", {}, 0.2f, 150, 10, 0},
      {"tank R 1000, hemispherical heads, water to 70 %", {{0, 0, 1000, 1}, {1000, 1000, 0, 0}, {1000, 3000, 1000, 1}, {0, 4000, 0, 0}}, 0.3f, 2800, 1, 60},
      {"45 degree cone and cylinder", {{0, 0, 0, 0}, {500, 500, 0, 0}, {500, 1500, 0, 0}}, 0.5f, 1000, 1, 0},
      {"49 sections", many, 0.4f, 3000, 1, 0},
      {"tank with bending", {{0, 0, 1000, 1}, {1000, 1000, 0, 0}, {1000, 3000, 1000, 1}, {0, 4000, 0, 0}}, 0.3f, 2800, 1, 60, true},
      {"cone and cylinder with bending: its lid", {{0, 0, 0, 0}, {500, 500, 0, 0}, {500, 1500, 0, 0}}, 0.5f, 1000, 1, 0, true},
  };
  for (const auto& shell : kShells) {
    for (float aspect : {1280.0f / 880, 1920.0f / 936}) {
      SCOPED_TRACE(std::string(shell.Name) + ", aspect " + std::to_string(aspect));
      app::ResetShellModel(app::Shell);
      if (!shell.Sections.empty()) Build(shell.Sections);
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

}  // namespace
