// The scratch files: their layout, the messages, reuse, and what a lost
// folder or an input/output error does.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "store_fixture.h"
#include "support/run_program.h"

namespace {

using namespace store_test;
using store::Store;
using std::filesystem::exists;
using testing_support::ReadFile;

std::string FileIn(const char* name) { return std::string(store::ScratchFolder()) + "/" + name; }

// The four-byte elements of a scratch file, as T.
template <typename T>
std::vector<T> Elements(const std::string& bytes) {
  std::vector<T> v(bytes.size() / 4);
  std::memcpy(v.data(), bytes.data(), 4 * v.size());
  return v;
}

// The messages shown so far: text, then "key" or the pause in milliseconds.
std::string Said() {
  std::string out;
  for (const Message& m : messages) out += m.Text + (m.WaitForKey ? " key" : " " + std::to_string(m.PauseMs)) + ";";
  return out;
}

// --- Layout ---------------------------------------------------------------------------------

// Point 2001 is element 4 of the point file; object 501 goes to the
// object file and is read back from there.
TEST_F(StoreTest, WhatMemoryCannotHoldGoesToTheFilesInOrder) {
  store::SetStorePen(200);
  store::BeginPolyline();
  for (int n = 1; n <= 2000; ++n) store::AddPoint(0, 0, 0);
  EXPECT_TRUE(messages.empty());
  store::AddPoint(1.5f, 2.5f, 3.5f);
  store::AddPoint(4, 5, 6);
  for (int i = 2; i <= 500; ++i) store::BeginPolyline();
  store::BeginSegmentPairs();  // object 501
  store::AddPoint(0, 0, 0);
  store::AddPoint(0, 0, 0);
  store::CloseStore();  // entry 502
  ASSERT_TRUE(store::SyncStoreFiles());
  // Elements 0..12 of the point file, the last written being 12; object 501 read back from its file.
  EXPECT_EQ(Elements<float>(ReadFile(FileIn("BUF.TMP"))),
            (std::vector<float>{0, 0, 0, 0, 1.5f, 2.5f, 3.5f, 4, 5, 6, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(RangeOf(501), (Ints{-2003, 2004, 2, 200}));
}

TEST_F(StoreTest, FilesLiveInAPrivateFolderAndAreErasedAtTheEnd) {
  FillNumbered(2100, 100);
  for (int i = 1; i <= 510; ++i) store::BeginPolyline();
  std::string folder = store::ScratchFolder();
  ASSERT_FALSE(folder.empty());
  const char* tmp = std::getenv("TMPDIR");
  EXPECT_EQ(folder.rfind(std::string(tmp && *tmp ? tmp : "/tmp") + "/brelmora-", 0), 0u);
  EXPECT_FALSE(exists("BUF.TMP"));
  EXPECT_TRUE(exists(folder + "/BUF.TMP"));
  EXPECT_TRUE(exists(folder + "/BUFN.TMP"));
  store::CloseStoreFiles();
  EXPECT_FALSE(exists(folder + "/BUF.TMP"));
  EXPECT_FALSE(exists(folder + "/BUFN.TMP"));
  EXPECT_FALSE(exists(folder));
  EXPECT_STREQ(store::ScratchFolder(), "");
}

// --- Messages ----------------------------------------------------------------------------------

TEST_F(StoreTest, OpeningEachFileIsAnnouncedOncePerRun) {
  for (int piece = 0; piece < 3; ++piece) {
    store::ClearStore();
    FillNumbered(2500, 2);  // object 501 begins at point 1001, before point 2001
  }
  EXPECT_EQ(Said(), "BUF_PUTNA-Открытие файла 500;BUF_PUT-Открытие файла 500;");
}

// Reading beyond memory before a file is open leaves the values: a point
// waits for a key, an object pauses, and no folder is made.
TEST_F(StoreTest, ReadingBeyondMemoryBeforeTheFileIsOpenIsSaid) {
  float x = 7, y = 8, z = 9;
  store::PointGet(2001, x, y, z);
  store::PointGet(12345, x, y, z);
  int first = 5, kind = 6, pen = 7;
  store::ObjectGet(501, first, kind, pen);
  EXPECT_EQ(Said(), "BUF_GET-Файл не открыт 2001 key;BUF_GET-Файл не открыт 12345 key;BUF_GETNA-Файл не открыт 500;");
  EXPECT_EQ((std::vector<float>{x, y, z}), (std::vector<float>{7, 8, 9}));
  EXPECT_EQ((std::vector<int>{first, kind, pen}), (std::vector<int>{5, 6, 7}));
  EXPECT_STREQ(store::ScratchFolder(), "");
}

// --- Contents ------------------------------------------------------------------------------------

void ExpectNumbered(int count, float scale) {
  for (int n = 1; n <= count; ++n) ASSERT_EQ(PointOf(n), (Floats{scale * n, scale * 2 * n, scale * 3 * n})) << n;
}

// A drawing whose caches spill reads back as it was built; the next one
// reuses the files and never reads stale data.
TEST_F(StoreTest, ALargeDrawingReadsBackAsItWasBuiltAndTheNextNeverReadsStaleData) {
  FillNumbered(200000, 5);  // 2.4 MB of points, 40000 objects
  EXPECT_EQ(Store.ObjectCount, 40000);
  ExpectNumbered(200000, 1);
  for (int i = 1; i <= 40000; i += 777) EXPECT_EQ(RangeOf(i), (Ints{5 * i - 4, 5 * i, store::Polyline, 15})) << i;
  EXPECT_EQ(RangeOf(40000)[1], 200000);
  store::ClearStore();
  for (int n = 1; n <= 3000; ++n) {
    if ((n - 1) % 5 == 0) store::BeginPolyline();
    store::AddPoint(static_cast<float>(-n), static_cast<float>(-2 * n), static_cast<float>(-3 * n));
  }
  store::CloseStore();  // 600 objects, entry 601 closes
  EXPECT_EQ(Store.ObjectCount, 600);
  ExpectNumbered(3000, -1);
  EXPECT_EQ(RangeOf(600), (Ints{2996, 3000, store::Polyline, 15}));
  ASSERT_TRUE(store::SyncStoreFiles());
  // The files are overwritten in place, not cut short.
  EXPECT_EQ(ReadFile(FileIn("BUF.TMP")).size(), 4u * ((200000 - 2000) * 3 + 4));
}

// The bulk builders leave the store, its files and its messages as the
// calls one by one do, across memory's end and the cache's block edges;
// HeldObjects reads back what ObjectGet gives.
TEST_F(StoreTest, BulkBuildersStoreWhatCallsOneByOneStore) {
  constexpr int kPairs = 15000, kPoints = 2 * kPairs;
  std::vector<float> x(kPoints), y(kPoints), z(kPoints);
  for (int k = 0; k < kPoints; ++k) x[k] = k, y[k] = -k, z[k] = 0.5f * k;
  std::string files[2][2], said[2];
  for (int bulk = 0; bulk < 2; ++bulk) {
    store::InitStore();
    messages.clear();
    store::BeginPolyline();
    if (bulk) store::AddPoints(x.data(), y.data(), z.data(), 3000);
    for (int k = 0; !bulk && k < 3000; ++k) store::AddPoint(x[k], y[k], z[k]);
    if (bulk) store::AddTwoPointPolylines(x.data(), y.data(), z.data(), kPairs);
    for (int k = 0; !bulk && k < kPoints; k += 2) {
      store::BeginPolyline();
      store::AddPoint(x[k], y[k], z[k]);
      store::AddPoint(x[k + 1], y[k + 1], z[k + 1]);
    }
    store::CloseStore();
    // All but the entries split between two blocks are held.
    std::vector<int> first(kPairs + 2), kind(kPairs + 2), pen(kPairs + 2);
    int heldEntries = 0;
    for (int i = 1, held = 0; i <= kPairs + 2; i += std::max(held, 1), heldEntries += held) {
      held = store::HeldObjects(i, kPairs + 3 - i, first.data(), kind.data(), pen.data());
      for (int j = 0; j < held; j += 97) {
        const Ints got = RangeOf(i + j);
        EXPECT_EQ((Ints{first[j], kind[j], pen[j]}), (Ints{got[0], got[2], got[3]})) << i + j;
      }
    }
    EXPECT_EQ(heldEntries, kPairs);  // two of 15002 are split
    ASSERT_TRUE(store::SyncStoreFiles());
    files[bulk][0] = ReadFile(FileIn("BUF.TMP"));
    files[bulk][1] = ReadFile(FileIn("BUFN.TMP"));
    said[bulk] = Said();
  }
  EXPECT_EQ(files[1][0], files[0][0]);
  EXPECT_EQ(files[1][1], files[0][1]);
  EXPECT_EQ(said[1], said[0]);
}

// --- Lost folders and failures ---------------------------------------------------

TEST_F(StoreTest, AFolderRemovedBehindTheStoresBackIsMadeAgain) {
  FillNumbered(2500, 10);
  std::string first = store::ScratchFolder();
  unlink((first + "/BUF.TMP").c_str());
  unlink((first + "/PID").c_str());
  rmdir(first.c_str());
  for (int i = 0; i < 400; ++i) store::BeginPolyline();  // opens BUFN.TMP
  store::CloseStore();
  EXPECT_NE(std::string(store::ScratchFolder()), first);
  EXPECT_TRUE(exists(FileIn("BUFN.TMP")));
  EXPECT_FALSE(Store.PieceLost);
  ExpectNumbered(2500, 1);  // the erased file is still open and whole
}

int CountingFlushes = 0;
void CountFlush() { ++CountingFlushes; }

TEST_F(StoreTest, AFolderThatCannotBeMadeLosesThePieceWithAMessage) {
  const char* saved = std::getenv("TMPDIR");
  std::string keep = saved ? saved : "";
  setenv("TMPDIR", "/nonexistent/brelmora-test", 1);
  store::Slots.ScreenFlush = CountFlush;
  CountingFlushes = 0;

  FillNumbered(2100, 100);
  EXPECT_TRUE(Store.PieceLost);
  float x = 5, y = 5, z = 5;
  store::PointGet(2050, x, y, z);  // silent: the piece is gone anyway
  EXPECT_EQ(Said(), "BUF_PUT-Открытие файла 500;BUF_IO-Ошибка ввода-вывода, фрагмент не выведен: BUF.TMP 500;");
  EXPECT_EQ(x, 5.0f);
  store::Slots.FlushStore();
  EXPECT_EQ(CountingFlushes, 0);
  EXPECT_EQ(Store.PointCount, 0);
  EXPECT_FALSE(Store.PieceLost);

  if (saved) setenv("TMPDIR", keep.c_str(), 1); else unsetenv("TMPDIR");
  store::ClearStore();
  FillNumbered(2100, 100);
  EXPECT_FALSE(Store.PieceLost);
  ExpectNumbered(2100, 1);
  store::Slots.FlushStore();
  EXPECT_EQ(CountingFlushes, 1);
  store::Slots.ScreenFlush = [] {};
}

// A child whose file size is limited: the cache's writes fail once the
// point file passes 256 KiB.
int ChildWithFullDisk() {
  signal(SIGXFSZ, SIG_IGN);
  rlimit limit{256 * 1024, 256 * 1024};
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 20;
  store::InitStore();
  store::Slots.ShowMessage = RecordMessage;
  messages.clear();
  store::Slots.ScreenFlush = CountFlush;
  CountingFlushes = 0;
  store::ClearStore();
  FillNumbered(300000, 10);  // 3.6 MB of points
  if (!Store.PieceLost) return 21;
  // Both files were announced before the point file's cache first spilled.
  if (messages.size() != 3 ||
      messages[2].Text != "BUF_IO-Ошибка ввода-вывода, фрагмент не выведен: BUF.TMP")
    return 22;
  store::Slots.FlushStore();
  if (CountingFlushes != 0 || Store.PointCount != 0) return 23;
  // The next, small piece is drawn.
  store::ClearStore();
  FillNumbered(3000, 10);
  store::Slots.FlushStore();
  if (CountingFlushes != 1) return 24;
  store::CloseStoreFiles();
  return 0;
}

TEST_F(StoreTest, AFailingWriteLosesThePieceWithAMessageAndTheProgramGoesOn) {
  pid_t child = fork();
  if (child == 0) _exit(ChildWithFullDisk());
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
