// A fresh store, view and exchange state for every export test, with a
// picture procedure the test fills in and a recorder for walker output.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework.h"
#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "platform/picture.h"
#include "store/store.h"
#include "view/view.h"

namespace exchange_test {

struct Move {
  float X, Y;
  int Pen;
  bool operator==(const Move&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Move& m) { return os << "(" << m.X << ", " << m.Y << ", pen " << m.Pen << ")"; }

inline std::vector<Move> moves;
inline void RecordMove(float x, float y, std::int32_t pen) { moves.push_back({x, y, pen}); }

// The test's picture: one piece per entry, each drawn in its colour.
struct Piece {
  void (*Build)();
  int Colour;
};
inline std::vector<Piece> picture;

inline void DrawPicture() {
  for (const Piece& piece : picture) {
    gfx::K.Colour = piece.Colour;
    store::ClearStore();
    piece.Build();
    store::CloseStore();
    gfx::K.Colour = piece.Colour;
    store::Slots.FlushStore();
  }
}

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::ResetFramework();  // the view plane is world x, y
    platform::BuildPalette();
    exchange::InitExchange();
    exchange::Exchange.Batch = true;
    gfx::K.Colour = 15;
    store::Slots.RedrawForMeasure = DrawPicture;
    exchange::Slots.RedrawForExport = DrawPicture;
    picture.clear();
    moves.clear();
  }
  void TearDown() override { app::ResetFramework(); }

  static std::string Run(exchange::ExportProcedure procedure) {
    exchange::ExportFile file;
    procedure(file);
    return std::string(exchange::ExportText(file));
  }
};

// Lines joined with CR LF, each one ended.
inline std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace exchange_test
