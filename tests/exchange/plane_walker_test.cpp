// The plane walker: dashes, thickening passes, offsets, diamonds, texts and
// objects longer than its buffer.
#include <vector>

#include "exchange_fixture.h"
#include "graphics/text.h"

namespace {

using namespace exchange_test;

class WalkerTest : public ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    exchange::Slots.VertexOut = RecordMove;
  }
  // The walker's buffer holds these points.
  static void Buffer(const std::vector<std::pair<float, float>>& points) {
    exchange::Exchange.PointN = 0;
    for (auto [x, y] : points) {
      ++exchange::Exchange.PointN;
      exchange::Exchange.PointX[exchange::Exchange.PointN] = x;
      exchange::Exchange.PointY[exchange::Exchange.PointN] = y;
    }
  }
};

// A line through the buffer's points in a colour: 7 is dashed four on, two
// off, from a short dash, following corners, ending on a repeated vertex
// when its last segment switched; 8 is solid; extra passes draw copies a
// quarter and a half off; at start-up 15 is drawn three times.
TEST_F(WalkerTest, EachColourDrawsItsDashesAndPasses) {
  const struct {
    const char* Name;
    std::vector<std::pair<float, float>> Points;
    int Colour, Passes;  // -1: the start-up passes
    std::vector<Move> Moves;
  } kRows[] = {
      {"7 dashed", {{0, 0}, {10, 0}}, 7, -1, {{0, 0, 7}, {2, 0, 0}, {4, 0, 7}, {8, 0, 0}}},
      {"dashes round a corner", {{0, 0}, {1, 0}, {1, 10}}, 1, -1,
       {{0, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 3, 1}, {1, 7, 0}, {1, 9, 1}, {1, 10, 0}, {1, 10, 0}}},
      {"8 solid", {{0, 0}, {10, 0}, {10, 3}}, 8, -1, {{0, 0, 8}, {10, 0, 0}, {10, 3, 0}}},
      {"two passes", {{0, 0}, {10, 0}}, 8, 2,
       {{0, 0, 8}, {10, 0, 0}, {0, 0.25f, 8}, {10, 0.25f, 0}, {0, -0.25f, 8}, {10, -0.25f, 0}, {0, 0.5f, 8},
        {10, 0.5f, 0}, {0, -0.5f, 8}, {10, -0.5f, 0}}},
      {"15 at start-up", {{0, 0}, {0, 4}}, 15, -1,
       {{0, 0, 15}, {0, 4, 0}, {-0.25f, 0, 15}, {-0.25f, 4, 0}, {0.25f, 0, 15}, {0.25f, 4, 0}}},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.Name);
    exchange::InitExchange();
    exchange::Slots.VertexOut = RecordMove;
    if (r.Passes >= 0) exchange::Exchange.PassCount[r.Colour] = r.Passes;
    moves.clear();
    Buffer(r.Points);
    exchange::DrawLine(r.Colour);
    EXPECT_EQ(moves, r.Moves);
  }
}

// A line of any length gets at most ten thousand dashes, evenly stretched.
TEST_F(WalkerTest, DashesOfAnyLengthStayBounded) {
  for (float length : {6e4f, 1e9f, 3e38f}) {
    SCOPED_TRACE(length);
    moves.clear();
    Buffer({{-length, 0}, {length, 0}});
    exchange::DrawLine(7);
    EXPECT_LE(moves.size(), 2u * 10002);  // the dashes and the two ends
    EXPECT_GE(moves.size(), 2u);
  }
}

// Offsets of a closed rectangle keep mitred corners; an open polyline ends
// square and its straight vertices shift along the normal.
TEST_F(WalkerTest, OffsetsKeepCornersAndEnds) {
  const struct {
    std::vector<float> X, Y, WantX, WantY;  // from index 1
    float Offset;
  } kRows[] = {
      {{0, 0, 10, 10, 0, 0}, {0, 0, 0, 5, 5, 0}, {0, 0.25f, 9.75f, 9.75f, 0.25f, 0.25f},
       {0, 0.25f, 0.25f, 4.75f, 4.75f, 0.25f}, 0.25f},
      {{0, 0, 5, 10, 10}, {0, 0, 0, 0, 5}, {0, 0, 5, 10.5f, 10.5f}, {0, -0.5f, -0.5f, -0.5f, 5}, -0.5f},
  };
  for (const auto& r : kRows) {
    const int n = static_cast<int>(r.X.size()) - 1;
    float ox[8] = {}, oy[8] = {};
    ASSERT_EQ(exchange::OffsetPolyline(r.X.data(), r.Y.data(), n, r.Offset, ox, oy), n);
    for (int k = 1; k <= n; ++k) {
      EXPECT_NEAR(ox[k], r.WantX[k], 1e-5) << n << " " << k;
      EXPECT_NEAR(oy[k], r.WantY[k], 1e-5) << n << " " << k;
    }
  }
}

TEST_F(WalkerTest, ObjectLongerThanTheBufferIsDrawnInPiecesThatShareAPoint) {
  exchange::Exchange.PlanePen = 8;
  store::ClearStore();
  store::BeginPolyline();
  for (int k = 0; k < 2500; ++k) store::AddPoint(static_cast<float>(k), 0, 0);
  store::CloseStore();
  exchange::WalkStorePlane();
  ASSERT_EQ(moves.size(), 2000u + 501u);
  EXPECT_EQ(moves[0].Pen, 8);
  EXPECT_EQ(moves[1999].X, 1999.0f);
  EXPECT_EQ(moves[2000].Pen, 8);
  EXPECT_EQ(moves[2000].X, 1999.0f);
  EXPECT_EQ(moves.back().X, 2499.0f);
  int penMoves = 0;
  for (const Move& m : moves) penMoves += m.Pen != 0;
  EXPECT_EQ(penMoves, 2);
}

TEST_F(WalkerTest, TextStrokesAreDrawnAgainAndShiftedToBothSides) {
  exchange::Exchange.TextPen = 15;
  exchange::PlaneTextStroke(0, 0, 0, 1);
  exchange::PlaneTextStroke(4, 0, 0, 0);
  exchange::PlaneTextStroke(4, 0, 0, 0);  // no length: no passes
  EXPECT_EQ(moves, (std::vector<Move>{{0, 0, 15}, {4, 0, 0}, {0, 0, 15}, {4, 0, 0}, {0, 0.25f, 15}, {4, 0.25f, 0},
                                      {0, -0.25f, 15}, {4, -0.25f, 0}, {4, 0, 0}}));
}

}  // namespace
