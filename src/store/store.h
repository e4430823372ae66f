// src/store/store.h — the buffer every picture passes through on its way to
// the screen, a printer or an exchange file.
//
// A picture is built piece by piece: ClearStore, Begin… an object and
// AddPoint its points, add texts, CloseStore, FlushStore; then the next
// piece. The flush sends the store to the current OutputDevice.
//
// Sections:
//   capacities and the store's state
//   procedure slots (messages, flush, devices, redraw for measuring)
//   point and object primitives, building objects
//   texts and images
//   whole-store transforms
//   extent measurement
//   scratch files
//
// Points 1..2000 and object entries 0..500 are kept in memory; the rest
// spill into two scratch files of 4-byte elements, "BUF.TMP" (points) and
// "BUFN.TMP" (object entries). They live in a private folder made for this
// run under the system's temporary folder, so two copies of the program
// started in one folder never share them and a read-only current folder does
// not matter. The files are read and written through a small write-back
// cache of 64 KiB blocks: a spilled drawing costs a few large system calls,
// not one per value.
#pragma once

#include <cstdint>
#include <string_view>

namespace store {

// --- Capacities ----------------------------------------------------------------
constexpr int kPointsInMemory = 2000;   // points beyond go to "BUF.TMP"
constexpr int kObjectsInMemory = 500;   // entries beyond go to "BUFN.TMP"
constexpr int kTextCapacity = 124;      // a further text replaces the 124th
constexpr int kTextBytes = 120;         // CP866 bytes of one text
constexpr int kImageCapacity = 124;     // a further image replaces the 124th
constexpr int kImageNameBytes = 120;
constexpr int kLayerNameBytes = 31;     // a layer name, as CAD programs take it
constexpr const char* kDefaultLayer = "1";

enum ObjectKind : std::uint8_t { Polyline = 1, SegmentPairs, Triangle, Quad, QuadStrip };

// No drawing reaches this far (a thousand kilometres in millimetres): a
// coordinate beyond it, or one that is no number at all, comes from a scale
// gone wrong. The flush drops what holds one, so that no output ever draws
// or writes it (nor numbers longer than any reader takes).
constexpr float kWorldLimit = 1e9f;

// Where a flush goes. The numbers are the devices' codes (6 is no device).
enum class Device : int {
  Screen = 0,
  Extent2D = 1,      // the view-plane extent pass
  Extent3D = -1,     // the world extent pass
  PlaneWalker = 2,   // .UGF or the printer
  GeoFile = 3,
  DxfFile = 4,
  TreFile = 5,
  PlotterFile = 7,
};
// The screen except while an export or an extent pass runs the redraw.
extern Device OutputDevice;

// Runs pass (a redraw) with OutputDevice set to device, then makes the
// screen the device again.
template <typename Pass>
void RunDevicePass(Device device, Pass&& pass) {
  OutputDevice = device;
  pass();
  OutputDevice = Device::Screen;
}

// --- State ----------------------------------------------------------------------
struct TextItem {
  char Text[kTextBytes + 1] = {};   // zero-terminated
  float BaseStart[3] = {};          // lower left, start of the base line
  float BaseEnd[3] = {};            // lower right
  float TopStart[3] = {};           // upper left
  std::uint8_t Font = 0;            // 0 ordinary text, 1 the second stroke font
  std::uint8_t Pen = 0;             // the current pen when the item was added
};

struct ImagePlacement {
  char ImageName[kImageNameBytes + 1] = {};  // a bitmap file without ".BMP"
  float X = 0, Y = 0;               // lower-left corner in the x–y plane
  float PixelSize = 0;              // world size of one image pixel
  std::uint8_t Visible = 0;
  std::uint8_t ImageStyle = 0;
};

// One scratch file and its cache. Element e (4 bytes) of the file sits in
// block e / kBlockElements; block b is cached in slot b % kCacheBlocks.
constexpr int kBlockBytes = 1 << 16;
constexpr int kBlockElements = kBlockBytes / 4;
constexpr int kCacheBlocks = 16;        // 1 MiB of each file held at once

struct CacheBlock {
  std::int64_t Block = -1;              // which block the slot holds; -1 none
  int DirtyFrom = 0, DirtyTo = 0;       // elements [From, To) not yet written
  std::uint32_t Data[kBlockElements];
};

struct ScratchFile {
  explicit ScratchFile(const char* name) : Name(name) {}
  const char* Name;                // "BUF.TMP" or "BUFN.TMP"
  int Fd = -1;
  bool Open = false;                    // the design's file-open flag
  bool Announced = false;               // the opening message was shown this run
  std::int64_t BytesOnDisk = 0;         // what has reached the file so far
  CacheBlock Cache[kCacheBlocks];
};

struct DrawingStore {
  int PointCount = 0;
  int ObjectCount = 0;                  // also First[0] once objects are begun
  float X[kPointsInMemory + 1] = {}, Y[kPointsInMemory + 1] = {}, Z[kPointsInMemory + 1] = {};
  std::int32_t First[kObjectsInMemory + 1] = {};  // negative: points taken in pairs
  std::uint8_t Kind[kObjectsInMemory + 1] = {};
  std::uint8_t Pen[kObjectsInMemory + 1] = {};

  int TextCount = 0;
  TextItem Texts[kTextCapacity + 1];
  int ImageCount = 0;
  ImagePlacement Images[kImageCapacity + 1];

  int CurrentPen = 15;

  // The layers of the piece being built: one for its objects, one for its
  // texts (a table keeps its texts with its lines; captions go apart).
  // Exchange files that know layers (DXF) put the piece there. A flush
  // leaves them as they are; the picture names them for every piece.
  char Layer[kLayerNameBytes + 1] = "1";
  char TextLayer[kLayerNameBytes + 1] = "1";

  // Set by an input/output error on a scratch file; the piece being built is
  // then dropped by its flush. ClearStore starts the next piece afresh.
  bool PieceLost = false;
  // Some object or text of the picture lay beyond kWorldLimit and was
  // dropped by its flush (BeginPicture clears it).
  bool OutOfRange = false;

  // Extent passes: the first-item flag and what has been gathered so far.
  bool ExtentFirst = false;
  float ExtentMin[3] = {}, ExtentMax[3] = {};
  // An exchange pass measures its pieces as well (BeginPassExtent2D), and
  // what it measured is not to be taken (a piece held a bitmap, or an
  // extent pass ran within it).
  bool ExtentOfPass = false;
  bool ExtentUnsure = false;

  ScratchFile PointFile{"BUF.TMP"};
  ScratchFile ObjectFile{"BUFN.TMP"};
  char Folder[4096] = {};               // the private folder; "" until made
  int FolderOwner = 0;                  // the process that made it
};
extern DrawingStore Store;                  // the one store of the program

// --- Procedure slots -------------------------------------------------------------
// Shows a text (CP866) on the prompt line; then waits for a key or pauses.
using MessageHook = void (*)(const char* text, bool waitForKey, int pauseMs);
using Procedure = void (*)();
// The writer of an exchange device (PlaneWalker..PlotterFile) for one flushed piece.
using DeviceHook = void (*)(Device device);
// Width and height in pixels of the bitmap ImageName + ".BMP".
using ImageSizeHook = bool (*)(const char* imageName, int& width, int& height);
// The view's projection onto its plane (world to u, v), which the 2D extent
// pass measures in.
using ProjectionHook = void (*)(float x, float y, float z, float& u, float& v);
void DispatchFlush();
struct StoreSlots {
  MessageHook ShowMessage = [](const char*, bool, int) {};  // shows nothing
  Procedure FlushStore = DispatchFlush;
  Procedure ScreenFlush = [] {};        // draws the store on the screen; the renderer fills it
  DeviceHook ExchangeFlush = [](Device) {};
  Procedure RedrawForMeasure = [] {};   // the application's redraw, run by the extent passes
  ImageSizeHook ReadImageSize = [](const char*, int&, int&) { return false; };  // none known
  // The view fills it; the default is the plain view, u = x, v = y.
  ProjectionHook ProjectOnViewPlane = [](float x, float y, float, float& u, float& v) {
    u = x;
    v = y;
  };
};
extern StoreSlots Slots;  // the store's slots; StoreSlots{} puts them back

// Sends the store to OutputDevice: the screen ScreenFlush; the extent passes
// the measurement; others ScreenFlush as an echo, then ExchangeFlush(device).
// A piece lost to a scratch-file error is cleared and sends nothing. First
// every object with a point beyond kWorldLimit (of segment pairs: every such
// pair) and every such text is dropped, and OutOfRange is set. The default
// of FlushStore.

// A picture begins: OutOfRange cleared, the hatching's budget whole.
void BeginPicture();

// --- Points and objects ----------------------------------------------------------
void PointPut(int n, float x, float y, float z);
void PointGet(int n, float& x, float& y, float& z);
void ObjectPut(int i, int first, int kind, int pen);
void ObjectGet(int i, int& first, int& kind, int& pen);

void AddPoint(float x, float y, float z);
// Copies the points from n on into x, y and z, at most count of them, as
// long as they are held in memory or in a cached block (no reading of a
// scratch file, no message): how many it copied, 0 when point n must be read
// through PointGet.
int HeldPoints(int n, int count, float* x, float* y, float* z);

// AddPoint of each of count points in turn, held ones written in place.
void AddPoints(const float* x, const float* y, const float* z, int count);
// BeginPolyline, then AddPoint of points 2j and 2j + 1, for j = 0..count-1.
void AddTwoPointPolylines(const float* x, const float* y, const float* z, int count);

void BeginObject(int kind);
void BeginPolyline();
void BeginSegmentPairs();
void BeginTriangle();
void BeginQuad();
void BeginQuadStrip();
void CloseStore();
void ClearStore();                      // the pen becomes the kernel's colour
void SetStorePen(int pen);
// The layers of the pieces built from now on (at most kLayerNameBytes each).
void SetStoreLayers(std::string_view objects, std::string_view texts);

// first as stored (negative for segment pairs), last = |First(i+1)| - 1.
void GetObjectRange(int i, int& first, int& last, int& kind, int& pen);
void GetObjectRange(int i, int& first, int& last);
// Copies the object entries from i on (as ObjectGet gives them), at most
// count, as long as they are held in memory or in a cached block: how many
// it copied (no reading of a scratch file, no message).
int HeldObjects(int i, int count, int* first, int* kind, int* pen);

// --- Texts and images -------------------------------------------------------------
// Corners are x, y, z each.
void AddText(std::string_view text, const float baseStart[3], const float baseEnd[3],
             const float topStart[3], int font);
// corners: BaseStart, BaseEnd, TopStart, 9 floats.
void SetTextCorners(int j, const float corners[9]);
void GetText(int j, const char*& text, float corners[9], int& font);

// Placements: anchor, the sine and cosine of the text's angle, character
// height h and width w. Text never reads upside down: a negative cosine
// turns the direction round. Every corner takes the anchor's z.
void AddTextLeft(std::string_view text, float x, float y, float z, float sine, float cosine,
                 float h, float w, int font);     // anchor: middle of the left edge
void AddTextRight(std::string_view text, float x, float y, float z, float sine, float cosine,
                  float h, float w, int font);    // anchor: middle of the right edge
void AddTextCentred(std::string_view text, float x, float y, float z, float sine, float cosine,
                    float h, float w, int font);  // anchor: centre
// A text along the segment p1–p2, centred on its midpoint. The base runs
// along the segment (turned round when it would read right to left); the
// text's up direction lies in the x–y plane, or is +y for a segment along z.
void AddTextAlong(std::string_view text, const float p1[3], const float p2[3], float h, float w,
                  int font);

void AddImage(std::string_view name, float x, float y, float pixelSize, int imageStyle);
void GetImage(int j, const char*& name, float& x, float& y, float& pixelSize, int& visible,
              int& imageStyle);

// --- Whole-store transforms ----------------------------------------------------------
// Points 1..PointCount (when there are objects), then all text corners.
void MoveStore(float dx, float dy, float dz);
void ScaleStore(float qx, float qy, float qz, float k);      // q + k·(p − q)
void ReflectStore(const float n[3], float d);                // mirror in n·p = d
// The same for the text corners alone.
void MoveTexts(float dx, float dy, float dz);
void ScaleTexts(float qx, float qy, float qz, float k);

// --- Extent measurement ------------------------------------------------------------------
// Run RedrawForMeasure with OutputDevice Extent2D (view plane) or Extent3D (world) and
// return what its flushes held. When no flush held anything the outputs are
// left as the caller preset them.
void MeasureExtent2D(float& umin, float& vmin, float& umax, float& vmax);
void MeasureExtent3D(float& xmin, float& ymin, float& zmin, float& xmax, float& ymax, float& zmax);
// The 2D extent of an exchange pass's own pieces, for an export whose redraw
// is the one the extent pass runs (RedrawForMeasure): each piece is measured
// as MeasureExtent2D measures it, before it is drawn. BeginPassExtent2D
// before the pass; EndPassExtent2D after it gives what MeasureExtent2D would
// (the outputs left as preset when nothing was flushed), or false, leaving
// them, when a piece held a bitmap (whose size is read again as it is
// drawn) or an extent pass ran within the pass: only the extent pass
// itself is then taken for the extent.
void BeginPassExtent2D();
bool EndPassExtent2D(float& umin, float& vmin, float& umax, float& vmax);
// One flush of an extent pass (what DispatchFlush calls for Extent2D and Extent3D).
void MeasureFlush2D();
void MeasureFlush3D();

// --- Life cycle and scratch files ---------------------------------------------------------
// The start-up state: empty store, pen 15, scratch files closed and erased.
void InitStore();
// Closes and erases both scratch files and removes the private folder.
void CloseStoreFiles();
// The private folder is marked with its run (the file "PID": process id,
// start time and boot). At start-up the folders of runs that are gone —
// killed, or from before a restart — are removed: only folders of our own
// user, never through a link, and only the files a run makes there.
void RemoveStaleScratchFolders();
// The private folder of the scratch files; "" before the first spill.
const char* ScratchFolder();
// Writes every cached block to its file; false on an input/output error.
bool SyncStoreFiles();

}  // namespace store
