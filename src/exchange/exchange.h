// src/exchange/exchange.h — the exchange writers and the plane walker.
//
// An export re-runs the application's redraw with store::OutputDevice set to
// the format's code; every piece the application flushes is drawn on the
// screen and then handed to ExchangeDeviceFlush, which calls the writer of
// that device. The writers append CR LF lines to the ExportFile of the
// running export; nothing reaches the disk until the export has finished,
// and then the whole file is written at once beside the target and renamed
// over it, so a failed export never leaves a half-written file under the
// name asked for.
//
// Sections:
//   export file                ExportFile, WriteExportLine, RunExport
//   state and slots            ExchangeState g, VertexOut, RedrawForExport
//   device dispatch            InitExchange, ExchangeDeviceFlush
//   plane walker               WalkStorePlane, DrawLine, OffsetPolyline, ...
//   DXF                        ExportDXF, WriteDxfEntities, group writers
//   plotter                    ExportPLT, HpglPoint
//   coordinate and facet files ExportUGF, ExportGEO, ExportTRE, ...
//   code pages                 ToCP1251, ToCP866
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace exchange {

// --- Export file ---------------------------------------------------------------------
// The text of one export, kept in memory while the picture is redrawn.
struct ExportFile {
  std::string Path;   // the name asked for, extension included
  std::string Bytes;  // every line so far, each ending in CR LF
};

// Appends one line and CR LF.
void WriteExportLine(ExportFile& file, std::string_view line);

using ExportProcedure = void (*)(ExportFile& file);
// Runs one export into memory and writes the file. False when the file could
// not be written; error then says why ("No such file or directory") and no
// file of that name has been created or changed. An export the user
// cancelled (g.Cancelled) writes nothing and is no failure.
bool RunExport(const std::string& path, ExportProcedure procedure, std::string& error);

// --- State -----------------------------------------------------------------------------
constexpr int kWalkPoints = 2000;      // projected points of one object, 1..2000
constexpr int kRunPoints = kWalkPoints + 3;  // a run may add its cut points
constexpr int kPassColours = 16;       // thickness is kept for colours 0..15
constexpr int kDashCount = 2;

struct ExchangeState {
  ExportFile* Out = nullptr;  // the export running now; nullptr: write nothing
  int ExportColour = 15;      // the kernel's colour when the piece was flushed

  // Batch exports skip the comment and thickness dialogues: the comment is
  // the format's column caption, the thickness the current settings.
  bool Batch = false;
  bool Cancelled = false;  // the running export was given up in a dialogue

  // The plane walker.
  int PlanePen = 15;
  float MarkSize = 1.0f;                    // half-diagonal of a point's diamond
  float DashPattern[kDashCount] = {4.0f, 2.0f};  // dash, gap (view-plane units)
  std::int32_t PassCount[kPassColours] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  float PassOffset = 0.25f;
  float OutputScale = 1.0f;

  // Work buffers, index 1 first.
  float PointX[kWalkPoints + 1] = {}, PointY[kWalkPoints + 1] = {};
  int PointN = 0;
  float RunX[kRunPoints + 1] = {}, RunY[kRunPoints + 1] = {};
  int RunN = 0;
  float OffsetX[kRunPoints + 1] = {}, OffsetY[kRunPoints + 1] = {};

  // The text stroke sink: the pen of the text and the previous stroke point.
  int TextPen = 15;
  float StrokeX = 0, StrokeY = 0;

  // The plotter: origin and scale of the running export.
  float PlotXmin = 0, PlotYmin = 0, PlotXmax = 0, PlotYmax = 0;
  float PlotScale = 1.0f;
};
extern ExchangeState g;  // the one exchange state of the program

// --- Procedure slots ---------------------------------------------------------------------
// The walker's point sink: view-plane x, y; pen > 0 moves there with that
// pen, 0 draws to there. Default UgfPoint; the plotter and the printer put
// their own in for the length of their output and put UgfPoint back.
using VertexSink = void (*)(float x, float y, std::int32_t pen);
extern VertexSink VertexOut;

// The application's redraw, run by every export with OutputDevice set.
using Procedure = void (*)();
extern Procedure RedrawForExport;  // default: draws nothing

// --- Device dispatch ---------------------------------------------------------------------
// The start-up state; installs ExchangeDeviceFlush as store::ExchangeFlush.
void InitExchange();
// One flushed piece for devices 2, 3, 4, 5 and 7, after its screen echo.
void ExchangeDeviceFlush(int device);

// --- Plane walker ------------------------------------------------------------------------
void WalkStorePlane();
// Draws PointX/PointY 1..PointN (at least 2) with pen: dashed for pens up
// to 7, thickened by PassCount[pen] offset passes.
void DrawLine(int pen);
// The polyline x/y 1..n shifted by d to its left; returns the count written
// to ox/oy 1..(at most n).
int OffsetPolyline(const float* x, const float* y, int n, float d, float* ox, float* oy);
void DrawTextPlane(int j, int pen);
void PlaneTextStroke(float x, float y, float z, int move);
// The thickness dialogue of the .UGF and .PLT exports and of printing;
// status kInputRefused when it was given up (Esc in either question).
void AskThickness(std::int32_t& status);

// --- DXF -----------------------------------------------------------------------------------
void ExportDXF(ExportFile& file);
void WriteDxfEntities();
void DxfGroupString(int code, std::string_view text);
void DxfGroupInt(int code, int n);
void DxfGroupReal(int code, double value);
// The angle of (cs, sn) in [0, 2π).
double Angle(double sn, double cs);

// --- Plotter ---------------------------------------------------------------------------------
constexpr double kPlotterUnit = 0.02488;  // world units per plotter step
void ExportPLT(ExportFile& file);
void HpglPoint(float x, float y, std::int32_t pen);

// --- Coordinate and facet files -----------------------------------------------------------------
constexpr const char* kUgfCaption = "     X     Y  PenNo";
constexpr const char* kGeoCaption = "     X     Y    Z  PenNo";
constexpr const char* kTreCaption = "  X1   Y1   Z1   X2   Y2   Z2   X3    Y3    Z3  PenNo";
void ExportUGF(ExportFile& file);
void ExportGEO(ExportFile& file);
void ExportTRE(ExportFile& file);
void UgfPoint(float x, float y, std::int32_t pen);
void WriteGeoObjects();
void WriteTreFacets();
void WriteTriangle(int p1, int p2, int p3);  // store point numbers
void WriteQuad(int p1, int p2, int p3, int p4);

// --- Code pages ----------------------------------------------------------------------------------
std::string ToCP1251(std::string_view screen);  // CP866 to CP1251
std::string ToCP866(std::string_view win);      // CP1251 to CP866

}  // namespace exchange
