// A fresh store, view and exchange state for every export test, with a
// picture procedure the test fills in and a recorder for walker output.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "platform/picture.h"
#include "store/store.h"
#include "view/view.h"

namespace exchange_test {

struct Move { float X, Y; int Pen; };

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
    store::FlushStore();
  }
}

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store::InitStore();
    platform::BuildPalette();
    store::ShowMessage = [](const char*, bool, int) {};
    exchange::InitExchange();
    exchange::g.Batch = true;
    view::V = view::ViewState{};  // view plane = world x, y
    view::UpdateViewCoefficients();
    gfx::K.Colour = 15;
    store::RedrawForMeasure = DrawPicture;
    exchange::RedrawForExport = DrawPicture;
    picture.clear();
    moves.clear();
  }
  void TearDown() override {
    store::InitStore();
    store::RedrawForMeasure = [] {};
    exchange::RedrawForExport = [] {};
    exchange::InitExchange();
    store::ExchangeFlush = [](int) {};
  }

  static std::string Run(exchange::ExportProcedure procedure) {
    exchange::ExportFile file;
    procedure(file);
    return file.Bytes;
  }
};

// Lines joined with CR LF, each one ended.
inline std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace exchange_test
