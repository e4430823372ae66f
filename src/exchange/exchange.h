// src/exchange/exchange.h — the exchange writers and the plane walker.
//
// An export re-runs the application's redraw with store::OutputDevice set to
// the format's code; every piece the application flushes is drawn on the
// screen and then handed to ExchangeDeviceFlush, which calls the writer of
// that device. The writers append CR LF lines to the ExportFile of the
// running export; nothing reaches the disk until the export has finished,
// and then the whole file is written at once beside the target and renamed
// over it, so a failed export never leaves a half-written file under the
// name asked for. The CalculiX deck is not a picture: it is written from the
// shell itself (CcxShell), through the same export file.
//
// Sections:
//   export file                ExportFile, LineStart, WriteExportLine, LineRun, RunExport
//   state and slots            ExchangeState g, VertexOut, RedrawForExport
//   queued points              QueuePoint, QueuePolyline, WriteQueuedPoints
//   device dispatch            InitExchange, ExchangeDeviceFlush
//   plane walker               WalkStorePlane, DrawLine, OffsetPolyline, ...
//   DXF                        ExportDXF, WriteDxfEntities, group writers
//   plotter                    ExportPLT, HpglPoint
//   coordinate and facet files ExportUGF, ExportGEO, ExportTRE, ...
//   CalculiX input deck        CcxShell Ccx, CcxFault, ExportCCX
//   code pages                 ToCP1251, ToCP866
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "store/store.h"

namespace exchange {

// --- Export file ---------------------------------------------------------------------
// The text of one export, kept in memory while the picture is redrawn. The
// writers build their lines in place at its end (LineStart/EndLine):
// Text holds Length bytes of lines, each ending in CR LF, in Room bytes.
struct ExportFile {
  std::string Path;  // the name asked for, extension included
  std::unique_ptr<char[]> Text;
  std::size_t Length = 0, Room = 0;
};
inline std::string_view ExportText(const ExportFile& file) { return {file.Text.get(), file.Length}; }
// The longest line built in place: nine numbers of gfx::kFixedRoom and
// what lies between them.
constexpr std::size_t kLineRoom = 8192;

// The text's room made at least `more` bytes larger than Length (the text
// may move).
void MakeRoom(ExportFile& file, std::size_t more);
// Room for a line of up to kLineRoom bytes at the end of the text; EndLine
// then ends the line written up to `end` with CR LF. No other line may be
// begun in between.
inline char* LineStart(ExportFile& file) {
  if (file.Room - file.Length < kLineRoom + 2) MakeRoom(file, kLineRoom + 2);
  return file.Text.get() + file.Length;
}
inline void EndLine(ExportFile& file, char* end) {
  end[0] = '\r';
  end[1] = '\n';
  file.Length = static_cast<std::size_t>(end + 2 - file.Text.get());
}
// Appends one line and CR LF.
void WriteExportLine(ExportFile& file, std::string_view line);
// Lines written one after another with the end of the text held here (not
// stored in the file and read back for each line): Line gives room for a
// line of up to kLineRoom bytes, End ends it with CR LF. The file's Length
// is set when the run ends; nothing else may write to the file meanwhile.
class LineRun {
 public:
  explicit LineRun(ExportFile& file) : file_(file) { Room(); }
  ~LineRun() { file_.Length = static_cast<std::size_t>(at_ - file_.Text.get()); }
  LineRun(const LineRun&) = delete;
  LineRun& operator=(const LineRun&) = delete;
  char* Line() {
    if (static_cast<std::size_t>(limit_ - at_) < kLineRoom + 2) {
      file_.Length = static_cast<std::size_t>(at_ - file_.Text.get());
      Room();
    }
    return at_;
  }
  void End(char* end) {
    end[0] = '\r';
    end[1] = '\n';
    at_ = end + 2;
  }

 private:
  void Room() {
    LineStart(file_);
    at_ = file_.Text.get() + file_.Length;
    limit_ = file_.Text.get() + file_.Room;
  }
  ExportFile& file_;
  char* at_ = nullptr;
  char* limit_ = nullptr;
};

using ExportProcedure = void (*)(ExportFile& file);
// Runs one export into memory and writes the file. False when the file could
// not be written; error then says why ("No such file or directory") and no
// file of that name has been created or changed. An export the user
// cancelled (Exchange.Cancelled) writes nothing and is no failure. A batch
// export (Exchange.Batch) draws nothing on the screen (gfx::K.Unseen).
bool RunExport(const std::string& path, ExportProcedure procedure, std::string& error);

// --- State -----------------------------------------------------------------------------
constexpr int kWalkPoints = 2000;      // projected points of one object, 1..2000
constexpr int kRunPoints = kWalkPoints + 3;  // a run may add its cut points
constexpr int kPassColours = 16;       // thickness is kept for colours 0..15
constexpr int kDashCount = 2;

// A named layer of the picture and the palette colour drawn on it. The
// picture puts each piece on its layers (store::SetStoreLayers) and lists
// them here, so that the DXF LAYER table declares them.
struct PictureLayer {
  const char* Name;
  int Colour;
};

// A point of the walker queued for the .UGF or plotter text: view-plane x,
// y, the pen as VertexOut had it, and ExportColour when it came.
struct QueuedPoint {
  float X = 0, Y = 0;
  std::int32_t Pen = 0, Colour = 0;
};
constexpr int kQueuedPoints = 256;
// Writes count queued points as lines at the end of file.
using PointWriter = void (*)(ExportFile& file, const QueuedPoint* points, int count);

struct ExchangeState {
  ExportFile* Out = nullptr;  // the export running now; nullptr: write nothing
  int ExportColour = 15;      // the kernel's colour when the piece was flushed
  const PictureLayer* Layers = nullptr;  // the picture's layers, LayerCount of them
  int LayerCount = 0;

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
  // Devices that draw lines of any width (vector pages, the printer) take
  // each line once and draw it PenWidth wide; pen plotters and .UGF files
  // get the offset passes.
  bool SinglePass = false;

  // Work buffers, index 1 first.
  float PointX[kWalkPoints + 1] = {}, PointY[kWalkPoints + 1] = {};
  int PointN = 0;
  float RunX[kRunPoints + 1] = {}, RunY[kRunPoints + 1] = {};
  int RunN = 0;
  float OffsetX[kRunPoints + 1] = {}, OffsetY[kRunPoints + 1] = {};

  // The points the .UGF and plotter sinks have queued for QueueWriter, which
  // has not written them yet.
  QueuedPoint Queue[kQueuedPoints];
  int QueuedN = 0;
  PointWriter QueueWriter = nullptr;

  // The text stroke sink: the pen of the text and the previous stroke point.
  int TextPen = 15;
  float StrokeX = 0, StrokeY = 0;

  // The plotter: origin and scale of the running export.
  float PlotXmin = 0, PlotYmin = 0, PlotXmax = 0, PlotYmax = 0;
  float PlotScale = 1.0f;
};
extern ExchangeState Exchange;  // the one exchange state of the program

// --- Procedure slots ---------------------------------------------------------------------
// The walker's point sink: view-plane x, y; pen > 0 moves there with that
// pen, 0 draws to there. Default UgfPoint; the plotter and the printer put
// their own in for the length of their output and put UgfPoint back.
using VertexSink = void (*)(float x, float y, std::int32_t pen);
void UgfPoint(float x, float y, std::int32_t pen);
using Procedure = void (*)();
struct ExchangeSlots {
  VertexSink VertexOut = UgfPoint;
  // The application's redraw, run by every export with OutputDevice set.
  Procedure RedrawForExport = [] {};
};
extern ExchangeSlots Slots;  // ExchangeSlots{} puts them back

// --- Queued points -----------------------------------------------------------------------
// The .UGF and plotter sinks queue their points and write the lines of a
// batch at a time: the numbers of a point then need not wait for the text
// of the points before it, whose length tells where its own line starts.
// The queue is written when it is full, when another writer queues, at the
// end of every flushed piece and before an export writes its last line; so
// the lines keep their order among the file's other lines.

// Writes what is queued to Exchange.Out (nothing when there is none) and
// empties the queue.
void WriteQueuedPoints();
// Queues one point for writer (writing the queue first when it is full or
// holds another writer's points).
inline void QueuePoint(PointWriter writer, float x, float y, std::int32_t pen) {
  if (Exchange.QueuedN == kQueuedPoints || (Exchange.QueuedN > 0 && Exchange.QueueWriter != writer))
    WriteQueuedPoints();
  Exchange.QueueWriter = writer;
  Exchange.Queue[Exchange.QueuedN++] = {x, y, pen, Exchange.ExportColour};
}
// The points x/y 1..n queued as QueuePoint would queue them one by one, the
// first with pen and the rest with 0.
void QueuePolyline(PointWriter writer, const float* x, const float* y, int n, std::int32_t pen);

// --- Device dispatch ---------------------------------------------------------------------
// The start-up state; installs ExchangeDeviceFlush as store::ExchangeFlush.
void InitExchange();
// One flushed piece for devices 2, 3, 4, 5 and 7, after its screen echo.
void ExchangeDeviceFlush(store::Device device);

// --- Plane walker ------------------------------------------------------------------------
void WalkStorePlane();
// Draws PointX/PointY 1..PointN (at least 2) with pen: dashed for pens up
// to 7, thickened by PassCount[pen] offset passes unless SinglePass.
void DrawLine(int pen);
// The width on paper of a line of pen, for devices that draw each line
// once: the band between its outermost passes, 2 × PassCount × PassOffset,
// or one PassOffset for a pen without passes. With the start-up settings
// that is 0.5 for the foreground and 0.25 for the rest: the thick and thin
// lines of a technical drawing. 0 for an offset without a finite width; the
// device keeps the width within what it can draw.
float PenWidth(int pen);
// The polyline x/y 1..n shifted by d to its left; returns the count written
// to ox/oy 1..(at most n).
int OffsetPolyline(const float* x, const float* y, int n, float d, float* ox, float* oy);
void DrawTextPlane(int j, int pen);
void PlaneTextStroke(float x, float y, float z, int move);
// The thickness dialogue of the .UGF and .PLT exports and of printing;
// status kInputRefused when it was given up (Esc in either question).
void AskThickness(std::int32_t& status);
// The start of a .UGF or .PLT export: the file and the vertex sink set, the
// thickness asked. False when it was given up: the export is then cancelled
// and UgfPoint is the sink again.
bool BeginThickExport(ExportFile& file, VertexSink sink);

// --- DXF -----------------------------------------------------------------------------------
void ExportDXF(ExportFile& file);
void WriteDxfEntities();
void DxfGroupString(int code, std::string_view text);
void DxfGroupInt(int code, int n);
void DxfGroupReal(int code, double value);
// The AutoCAD Colour Index that shows palette colour `colour`: 7 (black on
// white, white on black) for the foreground 15, the named indices for the
// basic colours 7..14, 250 for the background, and the nearest index by
// RGB distance for every other shade.
int AciOfColour(int colour);
// The RGB (0xRRGGBB) a CAD program shows for an index 1..255; 7 as white.
std::uint32_t AciRgb(int aci);

// --- Plotter ---------------------------------------------------------------------------------
constexpr double kPlotterUnit = 0.02488;  // world units per plotter step
void ExportPLT(ExportFile& file);
void HpglPoint(float x, float y, std::int32_t pen);
void HpglPolyline(const float* x, const float* y, int n, std::int32_t pen);  // as UgfPolyline
void WriteHpglPoints(ExportFile& file, const QueuedPoint* points, int count);

// --- Coordinate and facet files -----------------------------------------------------------------
constexpr const char* kUgfCaption = "     X     Y  PenNo";
constexpr const char* kGeoCaption = "     X     Y    Z  PenNo";
constexpr const char* kTreCaption = "  X1   Y1   Z1   X2   Y2   Z2   X3    Y3    Z3  PenNo";
void ExportUGF(ExportFile& file);
void ExportGEO(ExportFile& file);
void ExportTRE(ExportFile& file);
void UgfPoint(float x, float y, std::int32_t pen);
// The points x/y 1..n of a polyline through UgfPoint, the first with pen
// and the rest with 0, in one call (the walker's polylines come this way).
void UgfPolyline(const float* x, const float* y, int n, std::int32_t pen);
void WriteUgfPoints(ExportFile& file, const QueuedPoint* points, int count);
// A point of the walker drawn on the screen as well (the export's echo),
// unless the export is unseen (gfx::K.Unseen).
void EchoPoint(float x, float y, std::int32_t pen);
// The points x[1..n] of a polyline echoed so, the first with pen.
void EchoPolyline(const float* x, const float* y, int n, std::int32_t pen);
void WriteGeoObjects();
void WriteTreFacets();
void WriteTriangle(int p1, int p2, int p3);  // store point numbers
void WriteQuad(int p1, int p2, int p3, int p4);

// --- CalculiX input deck --------------------------------------------------------------------------
// The shell as a CalculiX model: the wall meshed with axisymmetric eight-node
// elements (CAX8; r is x, z is y), the material, the loads of the membrane
// model and its support. The application fills Ccx from its model and
// solution; ExportCCX writes the deck (run it through RunExport).
constexpr int kCcxMaxSegments = 48;
constexpr int kCcxMaxNodes = 4998;

struct CcxSegment {
  int FirstNode = 0, NodeCount = 0;  // its nodes are FirstNode + 1 .. FirstNode + NodeCount
  bool Arc = false;
  double CentreR = 0, CentreZ = 0;   // of an arc
  double Thickness = 0;              // mm
};

struct CcxShell {
  // The mid-surface: each segment's nodes in the solver's order, with the
  // outward normal. A segment's first node lies where the one before ended.
  int SegmentCount = 0;
  CcxSegment Segment[kCcxMaxSegments + 1];
  int NodeCount = 0;
  double NodeR[kCcxMaxNodes + 1] = {}, NodeZ[kCcxMaxNodes + 1] = {};
  double NormalR[kCcxMaxNodes + 1] = {}, NormalZ[kCcxMaxNodes + 1] = {};

  double YoungModulus = 0, PoissonRatio = 0;  // MPa, —
  double WallDensity = 0;                     // g/cm³
  double InternalPressure = 0;                // MPa, acts on the mid-surface
  double LiquidDensity = 0, LiquidLevel = 0;  // g/cm³, z of the surface in mm
  double Gravity = 0, Overload = 0;           // m/s², factor on gravity
  int SupportSection = 1;                     // 1 .. SegmentCount + 1: held axially

  // The mesh and the support hold: elements through the wall (even, so that
  // the pressure can act on the mid-surface), elements along each step
  // between two nodes, and whether the support holds the mean axial
  // displacement of the whole section (*EQUATION) or its mid-wall node.
  int ElementsThroughWall = 4;
  int ElementsPerStep = 2;
  bool SupportHoldsMeanOfSection = false;

  // The flat lid at an end off the axis: a solid plate of the closed
  // segment's wall from the axis to the end (weightless, the pressure at its
  // height on its mid-plane, joined to the wall by a mitre), with LidNodes
  // equally spaced nodes from the axis; or, when false, the pressure on the
  // lid as an axial line load on the end.
  bool LidsAsPlates = false;
  int LidNodes[2] = {};  // the first section's lid and the last's
};
extern CcxShell Ccx;  // the shell of the running CalculiX export

// What makes a shell impossible to mesh ("" when it can be): no segment, a
// wall that is not thicker than 0, two nodes in one place, a node at a
// negative radius, a number that is not finite, a material no solid has.
std::string CcxFault(const CcxShell& shell);
void ExportCCX(ExportFile& file);

// --- Code pages ----------------------------------------------------------------------------------
std::string ToCP1251(std::string_view screen);  // CP866 to CP1251
std::string ToCP866(std::string_view win);      // CP1251 to CP866

}  // namespace exchange
