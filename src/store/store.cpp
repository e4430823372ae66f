// src/store/store.cpp — the drawing store.
//
// Sections:
//   state and slots
//   scratch files: private folder, block cache, errors
//   points and objects
//   texts and images
//   transforms
//   flush and extent measurement
//   life cycle
#include "store/store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "graphics/geometry.h"
#include "graphics/kernel.h"
#include "platform/codepage.h"
#include "store/builders.h"

namespace store {

// --- State and slots ----------------------------------------------------------------

DrawingStore Store;
Device OutputDevice = Device::Screen;

StoreSlots Slots;

// --- Scratch files ---------------------------------------------------------------------

namespace {

constexpr int kPauseMs = 500;

constexpr const char* kPointFileOpening = "BUF_PUT-Открытие файла"_sc;
constexpr const char* kObjectFileOpening = "BUF_PUTNA-Открытие файла"_sc;
constexpr const char* kPointFileNotOpen = "BUF_GET-Файл не открыт "_sc;
constexpr const char* kObjectFileNotOpen = "BUF_GETNA-Файл не открыт"_sc;
constexpr const char* kFileError = "BUF_IO-Ошибка ввода-вывода, фрагмент не выведен: "_sc;

// The element layout of the files: point n > 2000 at (n − 2000)·3 + 1..3,
// object entry i > 500 at (i − 500)·3 + 0..2.
std::int64_t PointElement(int n) { return (static_cast<std::int64_t>(n) - kPointsInMemory) * 3 + 1; }
std::int64_t ObjectElement(int i) { return (static_cast<std::int64_t>(i) - kObjectsInMemory) * 3; }

void NameFile(const ScratchFile& f, char* path, std::size_t size) {
  std::snprintf(path, size, "%s/%s", Store.Folder, f.Name);
}

void ForgetCache(ScratchFile& f) {
  for (CacheBlock& b : f.Cache) {
    b.Block = -1;
    b.DirtyFrom = kBlockElements;
    b.DirtyTo = 0;
  }
}

bool FolderIsOurs() { return Store.Folder[0] != 0 && Store.FolderOwner == static_cast<int>(getpid()); }

// Closes a file, and erases it when this process made it.
void CloseFile(ScratchFile& f) {
  if (f.Fd >= 0) close(f.Fd);
  if (f.Open && FolderIsOurs()) {
    char path[sizeof Store.Folder + 16];
    NameFile(f, path, sizeof path);
    unlink(path);
  }
  f.Fd = -1;
  f.Open = false;
  f.BytesOnDisk = 0;
  ForgetCache(f);
}

void CloseStoreFilesAtExit() { CloseStoreFiles(); }

const char* TempBase() {
  const char* base = std::getenv("TMPDIR");
  return base == nullptr || base[0] == 0 ? "/tmp" : base;
}

// Up to `size` bytes of a small file opened at `at` (a folder, or AT_FDCWD).
bool ReadSmall(int at, const char* path, char* into, std::size_t size, std::size_t& got) {
  const int fd = openat(at, path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  got = 0;
  for (ssize_t n; got < size && (n = read(fd, into + got, size - got)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  return true;
}

// What tells a process from every other, now and after a restart: its id,
// its start time (clock ticks after boot, field 22 of /proc/PID/stat) and
// the id of the boot. "" when there is no such process (or no /proc).
std::string ProcessMark(long pid) {
  char path[64], stat[1024], boot[64];
  std::size_t statBytes = 0, bootBytes = 0;
  std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
  if (!ReadSmall(AT_FDCWD, path, stat, sizeof stat - 1, statBytes) ||
      !ReadSmall(AT_FDCWD, "/proc/sys/kernel/random/boot_id", boot, sizeof boot - 1, bootBytes))
    return std::string();
  const std::string fields(stat, statBytes);
  std::size_t at = fields.rfind(')');  // the command name may hold blanks and parentheses
  if (at == std::string::npos) return std::string();
  constexpr int kStartTimeField = 22, kFirstFieldAfterName = 3;
  for (int field = kFirstFieldAfterName; field <= kStartTimeField && at != std::string::npos; ++field)
    at = fields.find(' ', at + 1);
  if (at == std::string::npos) return std::string();
  const std::string start = fields.substr(at + 1, fields.find(' ', at + 1) - at - 1);
  std::string bootId(boot, bootBytes);
  while (!bootId.empty() && (bootId.back() == '\n' || bootId.back() == ' ')) bootId.pop_back();
  return std::to_string(pid) + " " + start + " " + bootId + "\n";
}

constexpr const char* kMarkName = "PID";

// The mark written into the folder of a run: its ProcessMark.
bool MarkFolder(const char* folder) {
  char path[sizeof Store.Folder + 8];
  std::snprintf(path, sizeof path, "%s/%s", folder, kMarkName);
  std::string mark = ProcessMark(getpid());
  if (mark.empty()) mark = std::to_string(getpid()) + "\n";
  const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = write(fd, mark.data(), mark.size()) == static_cast<ssize_t>(mark.size());
  return close(fd) == 0 && written;
}

// Makes the private folder of this run under $TMPDIR (or /tmp), marked
// with the run's process.
bool MakeFolder() {
  char name[sizeof Store.Folder];
  int len = std::snprintf(name, sizeof name, "%s/brelmora-XXXXXX", TempBase());
  if (len <= 0 || len >= static_cast<int>(sizeof name)) return false;
  if (mkdtemp(name) == nullptr) return false;
  if (!MarkFolder(name)) {
    char mark[sizeof Store.Folder + 8];
    std::snprintf(mark, sizeof mark, "%s/%s", name, kMarkName);
    unlink(mark);
    rmdir(name);
    return false;
  }
  std::memcpy(Store.Folder, name, static_cast<std::size_t>(len) + 1);
  Store.FolderOwner = static_cast<int>(getpid());
  static bool cleanupRegistered = false;
  if (!cleanupRegistered) {
    cleanupRegistered = true;
    std::atexit(CloseStoreFilesAtExit);
  }
  return true;
}

int CreateFile(const ScratchFile& f) {
  char path[sizeof Store.Folder + 16];
  NameFile(f, path, sizeof path);
  return open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
}

// An input/output error: the piece being built is lost. The file is dropped
// and made afresh by the next piece that needs it.
void Fail(ScratchFile& f) {
  if (!Store.PieceLost) {
    char text[160];
    std::snprintf(text, sizeof text, "%s%s", kFileError, f.Name);
    Slots.ShowMessage(text, false, kPauseMs);
  }
  Store.PieceLost = true;
  CloseFile(f);
}

bool OpenScratch(ScratchFile& f, const char* announcement) {
  if (!f.Announced) {
    f.Announced = true;
    Slots.ShowMessage(announcement, false, kPauseMs);
  }
  int fd = -1;
  if (FolderIsOurs()) fd = CreateFile(f);
  // No folder yet, one made by the process we were forked from, or ours
  // removed behind our back: make a new one.
  if (fd < 0 && MakeFolder()) fd = CreateFile(f);
  if (fd < 0) {
    Fail(f);
    return false;
  }
  f.Fd = fd;
  f.Open = true;
  f.BytesOnDisk = 0;
  ForgetCache(f);
  return true;
}

bool WriteBack(ScratchFile& f, CacheBlock& b) {
  if (b.DirtyFrom >= b.DirtyTo) return true;
  const char* from = reinterpret_cast<const char*>(b.Data + b.DirtyFrom);
  std::size_t left = static_cast<std::size_t>(b.DirtyTo - b.DirtyFrom) * 4;
  off_t at = static_cast<off_t>(b.Block) * kBlockBytes + static_cast<off_t>(b.DirtyFrom) * 4;
  while (left > 0) {
    ssize_t done = pwrite(f.Fd, from, left, at);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    from += done;
    left -= static_cast<std::size_t>(done);
    at += done;
  }
  if (at > f.BytesOnDisk) f.BytesOnDisk = at;
  b.DirtyFrom = kBlockElements;
  b.DirtyTo = 0;
  return true;
}

// The cache slot holding the block of element e, loaded; null on an error.
CacheBlock* BlockOf(ScratchFile& f, std::int64_t e) {
  std::int64_t block = e / kBlockElements;
  CacheBlock& b = f.Cache[block % kCacheBlocks];
  if (b.Block == block) return &b;
  if (b.Block >= 0 && !WriteBack(f, b)) return nullptr;
  b.Block = -1;
  char* into = reinterpret_cast<char*>(b.Data);
  std::size_t got = 0;
  off_t at = static_cast<off_t>(block) * kBlockBytes;
  if (at < f.BytesOnDisk) {
    while (got < kBlockBytes) {
      ssize_t done = pread(f.Fd, into + got, kBlockBytes - got, at + static_cast<off_t>(got));
      if (done < 0 && errno == EINTR) continue;
      if (done < 0) return nullptr;
      if (done == 0) break;  // the end of the file
      got += static_cast<std::size_t>(done);
    }
  }
  std::memset(into + got, 0, kBlockBytes - got);
  b.Block = block;
  b.DirtyFrom = kBlockElements;
  b.DirtyTo = 0;
  return &b;
}

bool PutElement(ScratchFile& f, std::int64_t e, std::uint32_t value) {
  CacheBlock* b = BlockOf(f, e);
  if (b == nullptr) return false;
  int k = static_cast<int>(e % kBlockElements);
  b->Data[k] = value;
  if (k < b->DirtyFrom) b->DirtyFrom = k;
  if (k + 1 > b->DirtyTo) b->DirtyTo = k + 1;
  return true;
}

bool GetElement(ScratchFile& f, std::int64_t e, std::uint32_t& value) {
  CacheBlock* b = BlockOf(f, e);
  if (b == nullptr) return false;
  value = b->Data[e % kBlockElements];
  return true;
}

// Three consecutive elements: one cache look-up when they share a block.
bool PutThree(ScratchFile& f, std::int64_t e, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  const int k = static_cast<int>(e % kBlockElements);
  if (k + 2 >= kBlockElements)
    return PutElement(f, e, a) && PutElement(f, e + 1, b) && PutElement(f, e + 2, c);
  CacheBlock* block = BlockOf(f, e);
  if (block == nullptr) return false;
  block->Data[k] = a;
  block->Data[k + 1] = b;
  block->Data[k + 2] = c;
  if (k < block->DirtyFrom) block->DirtyFrom = k;
  if (k + 3 > block->DirtyTo) block->DirtyTo = k + 3;
  return true;
}

bool GetThree(ScratchFile& f, std::int64_t e, std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
  const int k = static_cast<int>(e % kBlockElements);
  if (k + 2 >= kBlockElements)
    return GetElement(f, e, a) && GetElement(f, e + 1, b) && GetElement(f, e + 2, c);
  const CacheBlock* block = BlockOf(f, e);
  if (block == nullptr) return false;
  a = block->Data[k];
  b = block->Data[k + 1];
  c = block->Data[k + 2];
  return true;
}

// The three elements from e on when their block is in the cache and holds
// all three, else null: the common case of PointGet and PointPut, without
// the cache's call.
std::uint32_t* CachedThree(ScratchFile& f, std::int64_t e) {
  const std::int64_t block = e / kBlockElements;
  CacheBlock& b = f.Cache[block % kCacheBlocks];
  const int k = static_cast<int>(e % kBlockElements);
  return b.Block == block && k + 2 < kBlockElements ? b.Data + k : nullptr;
}

// Hands take(the three elements, index) the triples of a file from element
// e on, for the indices from index to count - 1, as long as a cached block
// holds them whole (no reading, no message): the index reached.
template <typename F>
int TakeHeldTriples(const ScratchFile& file, std::int64_t e, int index, int count, F take) {
  while (index < count && file.Open) {
    const CacheBlock& b = file.Cache[e / kBlockElements % kCacheBlocks];
    const int k = static_cast<int>(e % kBlockElements);
    const int whole = std::min((kBlockElements - k) / 3, count - index);
    if (b.Block != e / kBlockElements || whole == 0) break;
    for (const std::uint32_t* at = b.Data + k; at < b.Data + k + 3 * whole; at += 3) take(at, index++);
    e += 3 * whole;
  }
  return index;
}

// Three elements written in place when their block is cached and holds all
// three (what StoreThree does first); false otherwise.
inline bool PutCached(ScratchFile& f, std::int64_t e, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  if (!f.Open) return false;
  std::uint32_t* at = CachedThree(f, e);
  if (at == nullptr) return false;
  at[0] = a;
  at[1] = b;
  at[2] = c;
  CacheBlock& block = f.Cache[e / kBlockElements % kCacheBlocks];
  const int k = static_cast<int>(e % kBlockElements);
  if (k < block.DirtyFrom) block.DirtyFrom = k;
  if (k + 3 > block.DirtyTo) block.DirtyTo = k + 3;
  return true;
}

// Three elements written: in place when their block is cached, else through
// the file, which the first write opens (announcing it), unless the piece is
// dropped anyway.
void StoreThree(ScratchFile& f, std::int64_t e, const char* opening, std::uint32_t a, std::uint32_t b,
                std::uint32_t c) {
  if (PutCached(f, e, a, b, c)) return;
  if (!f.Open && (Store.PieceLost || !OpenScratch(f, opening))) return;
  if (!PutThree(f, e, a, b, c)) Fail(f);
}

// Three elements read: in place when their block is cached, else from the
// file. False when nothing was read: the file failed (reported here) or is
// not open; unopened says the latter, unless the piece is dropped anyway.
bool LoadThree(ScratchFile& f, std::int64_t e, std::uint32_t (&w)[3], bool& unopened) {
  unopened = false;
  if (!f.Open) {
    unopened = !Store.PieceLost;
    return false;
  }
  if (const std::uint32_t* at = CachedThree(f, e)) {
    w[0] = at[0];
    w[1] = at[1];
    w[2] = at[2];
    return true;
  }
  if (GetThree(f, e, w[0], w[1], w[2])) return true;
  Fail(f);
  return false;
}

}  // namespace

const char* ScratchFolder() { return Store.Folder; }

bool SyncStoreFiles() {
  bool ok = true;
  for (ScratchFile* f : {&Store.PointFile, &Store.ObjectFile}) {
    if (!f->Open) continue;
    for (CacheBlock& b : f->Cache) {
      if (b.Block >= 0 && !WriteBack(*f, b)) {
        Fail(*f);
        ok = false;
        break;
      }
    }
  }
  return ok;
}

void CloseStoreFiles() {
  CloseFile(Store.PointFile);
  CloseFile(Store.ObjectFile);
  if (FolderIsOurs()) {
    char mark[sizeof Store.Folder + 8];
    std::snprintf(mark, sizeof mark, "%s/%s", Store.Folder, kMarkName);
    unlink(mark);
    rmdir(Store.Folder);
  }
  Store.Folder[0] = 0;
  Store.FolderOwner = 0;
}

namespace {

// "brelmora-" and the six letters or digits mkdtemp put in.
bool ScratchFolderName(const char* name) {
  constexpr std::string_view kPrefix = "brelmora-";
  const std::string_view n(name);
  if (n.size() != kPrefix.size() + 6 || n.substr(0, kPrefix.size()) != kPrefix) return false;
  for (char c : n.substr(kPrefix.size()))
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

// The folder's run is gone: its mark names a process that no longer runs,
// or another one that has the same id now (started at another time, or
// before a restart).
bool RunIsGone(int folder) {
  char mark[256];
  std::size_t got = 0;
  if (!ReadSmall(folder, kMarkName, mark, sizeof mark, got) || got == 0) return false;
  const std::string text(mark, got);
  char* end = nullptr;
  const long pid = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || pid <= 0) return false;
  return ProcessMark(pid) != text;
}

}  // namespace

void RemoveStaleScratchFolders() {
  // Without /proc no run can be told from another: then nothing is removed.
  if (ProcessMark(getpid()).empty()) return;
  DIR* base = opendir(TempBase());
  if (base == nullptr) return;
  while (const dirent* e = readdir(base)) {
    if (!ScratchFolderName(e->d_name)) continue;
    // Not through a link, and only our own user's folders.
    const int folder = openat(dirfd(base), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) continue;
    struct stat st {};
    const bool ours = fstat(folder, &st) == 0 && st.st_uid == geteuid();
    if (ours && RunIsGone(folder)) {
      // Only what a run puts there; a folder that holds anything else stays.
      for (const char* name : {Store.PointFile.Name, Store.ObjectFile.Name, kMarkName}) unlinkat(folder, name, 0);
      unlinkat(dirfd(base), e->d_name, AT_REMOVEDIR);
    }
    close(folder);
  }
  closedir(base);
}

// --- Points and objects ------------------------------------------------------------------

namespace {

// Calls f(x, y, z) for the points from..to in their order, and when write
// is set stores what f left in them; stops after a point where f gives
// false, or (heldOnly) before the first point that is not held. Points
// written afresh (fresh) are not read first: what f is given then is no
// point's value, and a point that is not held is only put. The points
// in memory and the runs of
// points a cached block holds whole are visited in place; any other point
// (its block not cached, or split between two blocks) goes through PointGet
// and PointPut, which load the blocks and meet the errors: the cache sees
// the same reads and writes in the same order as point after point.
template <typename F>
void ForEachPoint(int from, int to, bool write, F f, bool heldOnly = false, bool fresh = false) {
  int n = from < 1 ? 1 : from;
  for (; n <= to && n <= kPointsInMemory; ++n)
    if (!f(Store.X[n], Store.Y[n], Store.Z[n])) return;
  ScratchFile& file = Store.PointFile;
  while (n <= to) {
    const std::int64_t e = PointElement(n);
    CacheBlock& b = file.Cache[e / kBlockElements % kCacheBlocks];
    const int k = static_cast<int>(e % kBlockElements);
    const int whole = (kBlockElements - k) / 3;  // points of the block from n on
    if (!file.Open || b.Block != e / kBlockElements || whole == 0) {
      if (heldOnly) return;
      float x = 0, y = 0, z = 0;
      if (!fresh) PointGet(n, x, y, z);
      const bool more = f(x, y, z);
      if (write) PointPut(n, x, y, z);
      if (!more) return;
      ++n;
      continue;
    }
    const int count = whole < to - n + 1 ? whole : to - n + 1;
    std::uint32_t* at = b.Data + k;
    bool more = true;
    int i = 0;
    while (i < count && more) {
      float x = std::bit_cast<float>(at[0]), y = std::bit_cast<float>(at[1]),
            z = std::bit_cast<float>(at[2]);
      more = f(x, y, z);
      if (write) {
        at[0] = std::bit_cast<std::uint32_t>(x);
        at[1] = std::bit_cast<std::uint32_t>(y);
        at[2] = std::bit_cast<std::uint32_t>(z);
      }
      ++i;
      at += 3;
    }
    if (write && i > 0) {
      if (k < b.DirtyFrom) b.DirtyFrom = k;
      if (k + 3 * i > b.DirtyTo) b.DirtyTo = k + 3 * i;
    }
    if (!more) return;
    n += count;
  }
}

// Whether none of count floats at values lies beyond the magnitude whose
// bits are most: a float's magnitude orders as its bits without the sign
// do, and no number's bits lie above infinity's. Four at a time.
using Bits4 = std::uint32_t __attribute__((vector_size(16)));
bool BitsWithin(const void* values, int count, std::uint32_t most) {
  const char* at = static_cast<const char*>(values);
  Bits4 beyond = {};
  int k = 0;
  for (; k + 4 <= count; k += 4) {
    Bits4 v;
    std::memcpy(&v, at + 4 * k, sizeof v);
    beyond |= reinterpret_cast<Bits4>((v & 0x7fffffffu) > most);
  }
  std::uint32_t rest = beyond[0] | beyond[1] | beyond[2] | beyond[3];
  for (; k < count; ++k) {
    std::uint32_t v;
    std::memcpy(&v, at + 4 * k, sizeof v);
    rest |= (v & 0x7fffffffu) > most;
  }
  return rest == 0;
}

// Whether every coordinate of the points from..to lies within ±limit (one
// that is no number does not). The points in memory and the runs a cached
// block holds whole are looked at many values at once; any other point is
// read through PointGet, and none after a point that lies beyond: the cache
// and the messages see what ForEachPoint shows them.
bool PointsWithin(int from, int to, float limit) {
  const std::uint32_t most = std::bit_cast<std::uint32_t>(limit);
  int n = from < 1 ? 1 : from;
  const int lastInMemory = std::min(to, kPointsInMemory);
  if (n <= lastInMemory) {
    const int count = lastInMemory - n + 1;
    if (!BitsWithin(Store.X + n, count, most) || !BitsWithin(Store.Y + n, count, most) ||
        !BitsWithin(Store.Z + n, count, most))
      return false;
    n = lastInMemory + 1;
  }
  const ScratchFile& file = Store.PointFile;
  while (n <= to) {
    const std::int64_t e = PointElement(n);
    const CacheBlock& b = file.Cache[e / kBlockElements % kCacheBlocks];
    const int k = static_cast<int>(e % kBlockElements);
    const int whole = (kBlockElements - k) / 3;  // points of the block from n on
    if (!file.Open || b.Block != e / kBlockElements || whole == 0) {
      float p[3] = {0, 0, 0};
      PointGet(n, p[0], p[1], p[2]);
      if (!BitsWithin(p, 3, most)) return false;
      ++n;
      continue;
    }
    const int count = std::min(whole, to - n + 1);
    if (!BitsWithin(b.Data + k, 3 * count, most)) return false;
    n += count;
  }
  return true;
}

}  // namespace

void PointPut(int n, float x, float y, float z) {
  if (n < 1) return;
  if (n <= kPointsInMemory) {
    Store.X[n] = x;
    Store.Y[n] = y;
    Store.Z[n] = z;
    return;
  }
  StoreThree(Store.PointFile, PointElement(n), kPointFileOpening, std::bit_cast<std::uint32_t>(x),
             std::bit_cast<std::uint32_t>(y), std::bit_cast<std::uint32_t>(z));
}

void PointGet(int n, float& x, float& y, float& z) {
  if (n < 1) return;
  if (n <= kPointsInMemory) {
    x = Store.X[n];
    y = Store.Y[n];
    z = Store.Z[n];
    return;
  }
  std::uint32_t w[3];
  bool unopened = false;
  if (LoadThree(Store.PointFile, PointElement(n), w, unopened)) {
    x = std::bit_cast<float>(w[0]);
    y = std::bit_cast<float>(w[1]);
    z = std::bit_cast<float>(w[2]);
  } else if (unopened) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%4d", kPointFileNotOpen, n);
    Slots.ShowMessage(text, true, 0);
  }
}

void ObjectPut(int i, int first, int kind, int pen) {
  if (i < 0) return;
  if (i <= kObjectsInMemory) {
    Store.First[i] = first;
    Store.Kind[i] = static_cast<std::uint8_t>(kind);
    Store.Pen[i] = static_cast<std::uint8_t>(pen);
    return;
  }
  StoreThree(Store.ObjectFile, ObjectElement(i), kObjectFileOpening, static_cast<std::uint32_t>(first),
             static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(pen));
}

void ObjectGet(int i, int& first, int& kind, int& pen) {
  if (i < 0) return;
  if (i <= kObjectsInMemory) {
    first = Store.First[i];
    kind = Store.Kind[i];
    pen = Store.Pen[i];
    return;
  }
  std::uint32_t w[3];
  bool unopened = false;
  if (LoadThree(Store.ObjectFile, ObjectElement(i), w, unopened)) {
    first = static_cast<std::int32_t>(w[0]);
    kind = static_cast<std::uint8_t>(w[1]);
    pen = static_cast<std::uint8_t>(w[2]);
  } else if (unopened) {
    Slots.ShowMessage(kObjectFileNotOpen, false, kPauseMs);
  }
}

int HeldPoints(int n, int count, float* x, float* y, float* z) {
  if (n < 1 || count <= 0) return 0;
  // The points in memory, then those a cached block holds whole, block by
  // block (what ForEachPoint visits in place).
  int copied = 0;
  if (n <= kPointsInMemory) {
    copied = std::min(count, kPointsInMemory - n + 1);
    const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(copied);
    std::memcpy(x, Store.X + n, bytes);
    std::memcpy(y, Store.Y + n, bytes);
    std::memcpy(z, Store.Z + n, bytes);
  }
  return TakeHeldTriples(Store.PointFile, PointElement(n + copied), copied, count,
                         [&](const std::uint32_t* at, int c) {
                           x[c] = std::bit_cast<float>(at[0]);
                           y[c] = std::bit_cast<float>(at[1]);
                           z[c] = std::bit_cast<float>(at[2]);
                         });
}

void AddPoint(float x, float y, float z) {
  ++Store.PointCount;
  PointPut(Store.PointCount, x, y, z);
}

void AddPoints(const float* x, const float* y, const float* z, int count) {
  if (count <= 0) return;
  const int from = Store.PointCount + 1;
  Store.PointCount += count;
  int k = 0;
  ForEachPoint(from, from + count - 1, true, [&](float& px, float& py, float& pz) {
    px = x[k];
    py = y[k];
    pz = z[k];
    ++k;
    return true;
  }, false, true);
}

void BeginObject(int kind) {
  ++Store.ObjectCount;
  Store.First[0] = Store.ObjectCount;
  int first = Store.PointCount + 1;
  ObjectPut(Store.ObjectCount, kind == SegmentPairs ? -first : first, kind, Store.CurrentPen);
}

void AddTwoPointPolylines(const float* x, const float* y, const float* z, int count) {
  const std::uint32_t kind = Polyline, pen = static_cast<std::uint8_t>(Store.CurrentPen);
  ScratchFile& objectFile = Store.ObjectFile;
  ScratchFile& pointFile = Store.PointFile;
  for (int j = 0; j < count;) {
    const int i = Store.ObjectCount + 1, n = Store.PointCount + 1;
    // A run of polylines whose entries and points all lie whole in cached
    // blocks is written there at once: no block is loaded or written back
    // on the way, as none would be one by one.
    if (i > kObjectsInMemory && n > kPointsInMemory && objectFile.Open && pointFile.Open) {
      const std::int64_t oe = ObjectElement(i), pe = PointElement(n);
      CacheBlock& ob = objectFile.Cache[oe / kBlockElements % kCacheBlocks];
      CacheBlock& pb = pointFile.Cache[pe / kBlockElements % kCacheBlocks];
      const int ok = static_cast<int>(oe % kBlockElements), pk = static_cast<int>(pe % kBlockElements);
      const int m = std::min({count - j, (kBlockElements - ok) / 3, (kBlockElements - pk) / 6});
      if (m > 0 && ob.Block == oe / kBlockElements && pb.Block == pe / kBlockElements) {
        std::uint32_t* o = ob.Data + ok;
        std::uint32_t* q = pb.Data + pk;
        for (int r = 0; r < m; ++r, ++j, o += 3, q += 6) {
          o[0] = static_cast<std::uint32_t>(n + 2 * r);
          o[1] = kind;
          o[2] = pen;
          for (int e = 0; e < 2; ++e) {
            q[3 * e] = std::bit_cast<std::uint32_t>(x[2 * j + e]);
            q[3 * e + 1] = std::bit_cast<std::uint32_t>(y[2 * j + e]);
            q[3 * e + 2] = std::bit_cast<std::uint32_t>(z[2 * j + e]);
          }
        }
        ob.DirtyFrom = std::min(ob.DirtyFrom, ok);
        ob.DirtyTo = std::max(ob.DirtyTo, ok + 3 * m);
        pb.DirtyFrom = std::min(pb.DirtyFrom, pk);
        pb.DirtyTo = std::max(pb.DirtyTo, pk + 6 * m);
        Store.ObjectCount += m;
        Store.PointCount += 2 * m;
        Store.First[0] = Store.ObjectCount;
        continue;
      }
    }
    // Otherwise one: BeginPolyline and AddPoint twice, in place when they can be.
    Store.ObjectCount = i;
    Store.First[0] = i;
    if (i <= kObjectsInMemory ||
        !PutCached(objectFile, ObjectElement(i), static_cast<std::uint32_t>(n), kind, pen))
      ObjectPut(i, n, Polyline, Store.CurrentPen);
    for (int e = 2 * j; e < 2 * j + 2; ++e) {
      const int p = ++Store.PointCount;
      if (p <= kPointsInMemory ||
          !PutCached(pointFile, PointElement(p), std::bit_cast<std::uint32_t>(x[e]),
                     std::bit_cast<std::uint32_t>(y[e]), std::bit_cast<std::uint32_t>(z[e])))
        PointPut(p, x[e], y[e], z[e]);
    }
    ++j;
  }
}

void BeginPolyline() { BeginObject(Polyline); }
void BeginSegmentPairs() { BeginObject(SegmentPairs); }
void BeginTriangle() { BeginObject(Triangle); }
void BeginQuad() { BeginObject(Quad); }
void BeginQuadStrip() { BeginObject(QuadStrip); }

void CloseStore() {
  Store.First[0] = Store.ObjectCount;
  int first = 0, kind = 0, pen = 0;
  ObjectGet(Store.ObjectCount, first, kind, pen);
  ObjectPut(Store.ObjectCount + 1, Store.PointCount + 1, kind, pen);
}

void ClearStore() {
  Store.PointCount = 0;
  Store.ObjectCount = 0;
  Store.First[0] = 0;
  Store.TextCount = 0;
  Store.ImageCount = 0;
  Store.CurrentPen = gfx::GetColor();
  Store.PieceLost = false;
}

void SetStorePen(int pen) { Store.CurrentPen = pen; }

void GetObjectRange(int i, int& first, int& last, int& kind, int& pen) {
  int next = 0, nextKind = 0, nextPen = 0;
  ObjectGet(i, first, kind, pen);
  ObjectGet(i + 1, next, nextKind, nextPen);
  last = static_cast<int>(std::llabs(static_cast<long long>(next)) - 1);
}

int HeldObjects(int i, int count, int* first, int* kind, int* pen) {
  if (i < 0 || count <= 0) return 0;
  int copied = 0;
  for (; copied < count && i <= kObjectsInMemory; ++copied, ++i) {
    first[copied] = Store.First[i];
    kind[copied] = Store.Kind[i];
    pen[copied] = Store.Pen[i];
  }
  return TakeHeldTriples(Store.ObjectFile, ObjectElement(i), copied, count,
                         [&](const std::uint32_t* at, int c) {
                           first[c] = static_cast<std::int32_t>(at[0]);
                           kind[c] = static_cast<std::uint8_t>(at[1]);
                           pen[c] = static_cast<std::uint8_t>(at[2]);
                         });
}

void GetObjectRange(int i, int& first, int& last) {
  int kind = 0, pen = 0;
  GetObjectRange(i, first, last, kind, pen);
}

// --- Texts and images ----------------------------------------------------------------------

namespace {

void CopyText(char* to, std::string_view text, std::size_t capacity) {
  std::size_t n = text.size() < capacity ? text.size() : capacity;
  std::memcpy(to, text.data(), n);
  to[n] = 0;
}

// The three placements of the table: the anchor relative to the text.
enum class Anchor { Left, Right, Centre };

// Corners of a text of n characters in the plane of d and m around the anchor.
void PlaceCorners(Anchor anchor, const double a[3], const double d[3], const double m[3], double h,
                  double w, double n, float bs[3], float be[3], float ts[3]) {
  double along = anchor == Anchor::Left ? 0.0 : anchor == Anchor::Right ? -n * w : -n * w / 2;
  for (int k = 0; k < 3; ++k) {
    double start = a[k] + along * d[k];
    bs[k] = static_cast<float>(start - h / 2 * m[k]);
    be[k] = static_cast<float>(start - h / 2 * m[k] + n * w * d[k]);
    ts[k] = static_cast<float>(start + h / 2 * m[k]);
  }
}

// The table's placements in one plane: z of every corner is the anchor's.
void PlaceFlat(Anchor anchor, std::size_t length, float x, float y, float z, float sine,
               float cosine, float h, float w, float bs[3], float be[3], float ts[3]) {
  double s = sine, c = cosine;
  if (c < 0) {  // never upside down
    s = -s;
    c = -c;
  }
  double n = static_cast<double>(length);
  if (anchor != Anchor::Centre) n = length < 1 ? 1.0 : length > 80 ? 80.0 : n;
  const double a[3] = {x, y, z};
  const double d[3] = {c, s, 0};
  const double m[3] = {-s, c, 0};
  PlaceCorners(anchor, a, d, m, h, w, n, bs, be, ts);
  bs[2] = be[2] = ts[2] = z;
}

void AddPlaced(Anchor anchor, std::string_view text, float x, float y, float z, float sine,
               float cosine, float h, float w, int font) {
  float bs[3], be[3], ts[3];
  PlaceFlat(anchor, text.size(), x, y, z, sine, cosine, h, w, bs, be, ts);
  AddText(text, bs, be, ts, font);
}

}  // namespace

void AddText(std::string_view text, const float baseStart[3], const float baseEnd[3],
             const float topStart[3], int font) {
  if (Store.TextCount < kTextCapacity) ++Store.TextCount;
  TextItem& t = Store.Texts[Store.TextCount];
  CopyText(t.Text, text, kTextBytes);
  for (int k = 0; k < 3; ++k) {
    t.BaseStart[k] = baseStart[k];
    t.BaseEnd[k] = baseEnd[k];
    t.TopStart[k] = topStart[k];
  }
  t.Font = static_cast<std::uint8_t>(font);
  t.Pen = static_cast<std::uint8_t>(Store.CurrentPen);
}

void SetStoreLayers(std::string_view objects, std::string_view texts) {
  CopyText(Store.Layer, objects, kLayerNameBytes);
  CopyText(Store.TextLayer, texts, kLayerNameBytes);
}

void SetTextCorners(int j, const float corners[9]) {
  if (j < 1 || j > kTextCapacity) return;
  TextItem& t = Store.Texts[j];
  for (int k = 0; k < 3; ++k) {
    t.BaseStart[k] = corners[k];
    t.BaseEnd[k] = corners[3 + k];
    t.TopStart[k] = corners[6 + k];
  }
}

void GetText(int j, const char*& text, float corners[9], int& font) {
  if (j < 1 || j > kTextCapacity) return;
  const TextItem& t = Store.Texts[j];
  text = t.Text;
  for (int k = 0; k < 3; ++k) {
    corners[k] = t.BaseStart[k];
    corners[3 + k] = t.BaseEnd[k];
    corners[6 + k] = t.TopStart[k];
  }
  font = t.Font;
}

void AddTextLeft(std::string_view text, float x, float y, float z, float sine, float cosine,
                 float h, float w, int font) {
  AddPlaced(Anchor::Left, text, x, y, z, sine, cosine, h, w, font);
}

void AddTextRight(std::string_view text, float x, float y, float z, float sine, float cosine,
                  float h, float w, int font) {
  AddPlaced(Anchor::Right, text, x, y, z, sine, cosine, h, w, font);
}

void AddTextCentred(std::string_view text, float x, float y, float z, float sine, float cosine,
                    float h, float w, int font) {
  AddPlaced(Anchor::Centre, text, x, y, z, sine, cosine, h, w, font);
}

void AddTextAlong(std::string_view text, const float p1[3], const float p2[3], float h, float w,
                  int font) {
  double a[3], d[3];
  for (int k = 0; k < 3; ++k) {
    a[k] = (static_cast<double>(p1[k]) + p2[k]) / 2;
    d[k] = static_cast<double>(p2[k]) - p1[k];
  }
  if (!(gfx::Normalise(d) > 0)) d[0] = 1;
  if (d[0] < 0)  // never right to left
    for (double& c : d) c = -c;
  double m[3] = {0, 1, 0};
  gfx::LeftNormal(d[0], d[1], m[0], m[1], 1e-12);
  float bs[3], be[3], ts[3];
  PlaceCorners(Anchor::Centre, a, d, m, h, w, static_cast<double>(text.size()), bs, be, ts);
  AddText(text, bs, be, ts, font);
}

void AddImage(std::string_view name, float x, float y, float pixelSize, int imageStyle) {
  if (Store.ImageCount < kImageCapacity) ++Store.ImageCount;
  ImagePlacement& im = Store.Images[Store.ImageCount];
  CopyText(im.ImageName, name, kImageNameBytes);
  im.X = x;
  im.Y = y;
  im.PixelSize = pixelSize;
  im.Visible = 1;
  im.ImageStyle = static_cast<std::uint8_t>(imageStyle);
}

void GetImage(int j, const char*& name, float& x, float& y, float& pixelSize, int& visible,
              int& imageStyle) {
  if (j < 1 || j > kImageCapacity) return;
  const ImagePlacement& im = Store.Images[j];
  name = im.ImageName;
  x = im.X;
  y = im.Y;
  pixelSize = im.PixelSize;
  visible = im.Visible;
  imageStyle = im.ImageStyle;
}

// --- Transforms ------------------------------------------------------------------------------

namespace {

// Applies f to every text corner.
template <typename F>
void TransformTexts(F f) {
  for (int j = 1; j <= Store.TextCount; ++j) {
    TextItem& t = Store.Texts[j];
    f(t.BaseStart[0], t.BaseStart[1], t.BaseStart[2]);
    f(t.BaseEnd[0], t.BaseEnd[1], t.BaseEnd[2]);
    f(t.TopStart[0], t.TopStart[1], t.TopStart[2]);
  }
}

// Applies f to every point (when there are objects) and every text corner.
template <typename F>
void TransformStore(F f) {
  if (Store.ObjectCount > 0)
    ForEachPoint(1, Store.PointCount, true, [&](float& x, float& y, float& z) {
      f(x, y, z);
      return true;
    });
  TransformTexts(f);
}

}  // namespace

namespace {

auto Moving(float dx, float dy, float dz) {
  return [=](float& x, float& y, float& z) {
    x += dx;
    y += dy;
    z += dz;
  };
}

auto Scaling(float qx, float qy, float qz, float k) {
  return [=](float& x, float& y, float& z) {
    x = qx + k * (x - qx);
    y = qy + k * (y - qy);
    z = qz + k * (z - qz);
  };
}

}  // namespace

void MoveStore(float dx, float dy, float dz) { TransformStore(Moving(dx, dy, dz)); }
void MoveTexts(float dx, float dy, float dz) { TransformTexts(Moving(dx, dy, dz)); }
void ScaleStore(float qx, float qy, float qz, float k) { TransformStore(Scaling(qx, qy, qz, k)); }
void ScaleTexts(float qx, float qy, float qz, float k) { TransformTexts(Scaling(qx, qy, qz, k)); }

void ReflectStore(const float n[3], float d) {
  TransformStore([=](float& x, float& y, float& z) { gfx::ReflectPoint(n[0], n[1], n[2], d, x, y, z); });
}

// --- Flush and extent measurement ----------------------------------------------------------------

namespace {

bool InRange(float x, float y, float z) {
  return std::fabs(x) <= kWorldLimit && std::fabs(y) <= kWorldLimit && std::fabs(z) <= kWorldLimit;
}

bool PointInRange(int n) {
  float x = 0, y = 0, z = 0;
  PointGet(n, x, y, z);
  return InRange(x, y, z);
}

bool TextInRange(const TextItem& t) {
  return InRange(t.BaseStart[0], t.BaseStart[1], t.BaseStart[2]) &&
         InRange(t.BaseEnd[0], t.BaseEnd[1], t.BaseEnd[2]) &&
         InRange(t.TopStart[0], t.TopStart[1], t.TopStart[2]);
}

bool PieceInRange() {
  if (Store.ObjectCount > 0) {
    if (!PointsWithin(1, Store.PointCount, kWorldLimit)) return false;
  }
  for (int j = 1; j <= Store.TextCount; ++j)
    if (!TextInRange(Store.Texts[j])) return false;
  return true;
}

void CopyPoint(int from, int to) {
  float x = 0, y = 0, z = 0;
  PointGet(from, x, y, z);
  PointPut(to, x, y, z);
}

// Keeps what lies in range, in place: objects and points move only towards
// the front, so nothing is overwritten before it has been read.
void DropOutOfRange() {
  int points = 0, objects = 0;
  const int count = Store.ObjectCount;
  for (int i = 1; i <= count; ++i) {
    int first = 0, last = 0, kind = 0, pen = 0;
    GetObjectRange(i, first, last, kind, pen);
    const int start = first < 0 ? -first : first;
    const int begin = points + 1;
    if (first <= 0) {
      for (int k = start; k + 1 <= last; k += 2) {
        if (!PointInRange(k) || !PointInRange(k + 1)) continue;
        CopyPoint(k, ++points);
        CopyPoint(k + 1, ++points);
      }
      if (points >= begin || last < start) ObjectPut(++objects, -begin, kind, pen);
      continue;
    }
    bool kept = true;
    for (int k = start; k <= last && kept; ++k) kept = PointInRange(k);
    if (!kept) continue;
    for (int k = start; k <= last; ++k) CopyPoint(k, ++points);
    ObjectPut(++objects, begin, kind, pen);
  }
  int texts = 0;
  for (int j = 1; j <= Store.TextCount; ++j)
    if (TextInRange(Store.Texts[j])) Store.Texts[++texts] = Store.Texts[j];
  Store.PointCount = points;
  Store.ObjectCount = objects;
  Store.TextCount = texts;
  CloseStore();
  Store.OutOfRange = true;
}

}  // namespace

void BeginPicture() {
  Store.OutOfRange = false;
  BeginPictureHatching();
}

void DispatchFlush() {
  if (Store.PieceLost) {  // its scratch data is gone: draw nothing
    ClearStore();
    return;
  }
  if (!PieceInRange()) DropOutOfRange();
  switch (OutputDevice) {
    case Device::Screen: Slots.ScreenFlush(); break;
    case Device::Extent2D: MeasureFlush2D(); break;
    case Device::Extent3D: MeasureFlush3D(); break;
    default:
      if (Store.ExtentOfPass) {
        Store.ExtentUnsure = Store.ExtentUnsure || Store.ImageCount > 0;
        MeasureFlush2D();
      }
      Slots.ScreenFlush();
      Slots.ExchangeFlush(OutputDevice);
      break;
  }
}

namespace {

void Widen(int dims, const float p[3]) {
  if (Store.ExtentFirst) {
    Store.ExtentFirst = false;
    for (int k = 0; k < dims; ++k) Store.ExtentMin[k] = Store.ExtentMax[k] = p[k];
    return;
  }
  for (int k = 0; k < dims; ++k) {
    if (p[k] < Store.ExtentMin[k]) Store.ExtentMin[k] = p[k];
    if (p[k] > Store.ExtentMax[k]) Store.ExtentMax[k] = p[k];
  }
}

// The point to measure: the view-plane projection for the 2D pass.
void Measure(int dims, float x, float y, float z) {
  float p[3] = {x, y, z};
  if (dims == 2) Slots.ProjectOnViewPlane(x, y, z, p[0], p[1]);
  Widen(dims, p);
}

// The fourth corner of a text's parallelogram.
void MeasureText(int dims, const TextItem& t) {
  Measure(dims, t.BaseStart[0], t.BaseStart[1], t.BaseStart[2]);
  Measure(dims, t.BaseEnd[0], t.BaseEnd[1], t.BaseEnd[2]);
  Measure(dims, t.TopStart[0], t.TopStart[1], t.TopStart[2]);
  Measure(dims, t.BaseEnd[0] + t.TopStart[0] - t.BaseStart[0],
          t.BaseEnd[1] + t.TopStart[1] - t.BaseStart[1],
          t.BaseEnd[2] + t.TopStart[2] - t.BaseStart[2]);
}

// One flush of an extent pass. The first item of the first piece that has
// one starts the extent: point 1, else text 1's BaseStart, else (2D only)
// image 1's lower-left corner. Image box corners lie in the plane z = 0.
void MeasurePiece(int dims) {
  bool havePoints = Store.ObjectCount > 0 && Store.PointCount > 0;
  if (Store.ExtentFirst) {
    if (havePoints) {
      float x = 0, y = 0, z = 0;
      PointGet(1, x, y, z);
      Measure(dims, x, y, z);
    } else if (Store.TextCount > 0) {
      const TextItem& t = Store.Texts[1];
      Measure(dims, t.BaseStart[0], t.BaseStart[1], t.BaseStart[2]);
    } else if (dims == 2 && Store.ImageCount > 0) {
      Measure(dims, Store.Images[1].X, Store.Images[1].Y, 0);
    } else {
      return;  // an empty piece: the flag stays set
    }
  }
  if (dims == 2) {
    for (int j = 1; j <= Store.ImageCount; ++j) {
      const ImagePlacement& im = Store.Images[j];
      int width = 0, height = 0;
      if (!Slots.ReadImageSize(im.ImageName, width, height)) width = height = 0;
      Measure(dims, im.X, im.Y, 0);
      Measure(dims, im.X + static_cast<float>(width) * im.PixelSize,
              im.Y + static_cast<float>(height) * im.PixelSize, 0);
    }
  }
  if (havePoints) {
    // The extent has begun (at point 1 at the latest): the points widen it
    // as Widen would, in locals.
    float lo[3] = {Store.ExtentMin[0], Store.ExtentMin[1], Store.ExtentMin[2]};
    float hi[3] = {Store.ExtentMax[0], Store.ExtentMax[1], Store.ExtentMax[2]};
    ForEachPoint(1, Store.PointCount, false, [&](float x, float y, float z) {
      float p[3] = {x, y, z};
      if (dims == 2) Slots.ProjectOnViewPlane(x, y, z, p[0], p[1]);
      for (int k = 0; k < dims; ++k) {
        if (p[k] < lo[k]) lo[k] = p[k];
        if (p[k] > hi[k]) hi[k] = p[k];
      }
      return true;
    });
    for (int k = 0; k < dims; ++k) {
      Store.ExtentMin[k] = lo[k];
      Store.ExtentMax[k] = hi[k];
    }
  }
  for (int j = 1; j <= Store.TextCount; ++j) MeasureText(dims, Store.Texts[j]);
}

}  // namespace

void MeasureFlush2D() { MeasurePiece(2); }
void MeasureFlush3D() { MeasurePiece(3); }

void MeasureExtent2D(float& umin, float& vmin, float& umax, float& vmax) {
  Store.ExtentUnsure = Store.ExtentUnsure || Store.ExtentOfPass;
  Store.ExtentFirst = true;
  RunDevicePass(Device::Extent2D, Slots.RedrawForMeasure);
  if (Store.ExtentFirst) return;  // nothing was flushed: the caller's preset stands
  umin = Store.ExtentMin[0];
  vmin = Store.ExtentMin[1];
  umax = Store.ExtentMax[0];
  vmax = Store.ExtentMax[1];
}

void BeginPassExtent2D() {
  Store.ExtentFirst = true;
  Store.ExtentOfPass = true;
  Store.ExtentUnsure = false;
}

bool EndPassExtent2D(float& umin, float& vmin, float& umax, float& vmax) {
  Store.ExtentOfPass = false;
  if (Store.ExtentUnsure) return false;
  if (Store.ExtentFirst) return true;  // nothing was flushed: the caller's preset stands
  umin = Store.ExtentMin[0];
  vmin = Store.ExtentMin[1];
  umax = Store.ExtentMax[0];
  vmax = Store.ExtentMax[1];
  return true;
}

void MeasureExtent3D(float& xmin, float& ymin, float& zmin, float& xmax, float& ymax, float& zmax) {
  Store.ExtentUnsure = Store.ExtentUnsure || Store.ExtentOfPass;
  Store.ExtentFirst = true;
  RunDevicePass(Device::Extent3D, Slots.RedrawForMeasure);
  if (Store.ExtentFirst) return;
  xmin = Store.ExtentMin[0];
  ymin = Store.ExtentMin[1];
  zmin = Store.ExtentMin[2];
  xmax = Store.ExtentMax[0];
  ymax = Store.ExtentMax[1];
  zmax = Store.ExtentMax[2];
}

// --- Life cycle ------------------------------------------------------------------------------------

void InitStore() {
  CloseStoreFiles();
  Store.PointCount = Store.ObjectCount = Store.TextCount = Store.ImageCount = 0;
  Store.First[0] = 0;
  Store.Kind[0] = Store.Pen[0] = 0;
  Store.CurrentPen = 15;
  SetStoreLayers(kDefaultLayer, kDefaultLayer);
  Store.PieceLost = false;
  Store.ExtentFirst = false;
  for (int k = 0; k < 3; ++k) Store.ExtentMin[k] = Store.ExtentMax[k] = 0;
  Store.ExtentOfPass = Store.ExtentUnsure = false;
  Store.PointFile.Announced = Store.ObjectFile.Announced = false;
  OutputDevice = Device::Screen;
  BeginPicture();
}

}  // namespace store
