// The one file-writing routine in every situation a target can be in (the
// special files, through the program: tests/app/hostile_test.cpp), and
// whole-file reading.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>

#include "exchange/file_io.h"
#include "platform/file_write.h"
#include "support/run_program.h"

namespace {

using namespace testing_support;

namespace fs = std::filesystem;

// Entries of a folder, hidden ones (the temporary files) included.
int EntriesIn(const std::string& dir) {
  return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

unsigned PermissionsOf(const std::string& path) {
  return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::mask);
}

const std::string kBytes("new\r\n\0bytes", 12);

struct WriteCase {
  const char* Name;
  // Sets the folder up; returns the path to write.
  std::string (*Prepare)(const std::string& dir);
  const char* Error;  // "" when the write succeeds
  int Entries;        // what the folder holds afterwards: no temporary file is left
  // What must hold afterwards.
  void (*Check)(const std::string& dir);
};

const WriteCase kCases[] = {
    {"a new file gets the usual permissions", [](const std::string& d) { return d + "/out"; }, "", 1,
     [](const std::string& d) {
       const mode_t mask = umask(0);
       umask(mask);
       EXPECT_EQ(ReadFile(d + "/out"), kBytes);
       EXPECT_EQ(PermissionsOf(d + "/out"), 0666u & ~mask);
     }},
    {"a file is replaced and keeps its mode",
     [](const std::string& d) {
       WriteFile(d + "/out", "old contents");
       chmod((d + "/out").c_str(), 0640);
       return d + "/out";
     },
     "", 1,
     [](const std::string& d) {
       EXPECT_EQ(ReadFile(d + "/out"), kBytes);
       EXPECT_EQ(PermissionsOf(d + "/out"), 0640u);
     }},
    {"a link is followed and stays a link",
     [](const std::string& d) {
       WriteFile(d + "/shared", "old");
       EXPECT_EQ(symlink("shared", (d + "/out").c_str()), 0);
       return d + "/out";
     },
     "", 2,
     [](const std::string& d) {
       EXPECT_TRUE(fs::is_symlink(d + "/out"));
       EXPECT_EQ(ReadFile(d + "/shared"), kBytes);
     }},
    {"a dangling link makes the file it names",
     [](const std::string& d) {
       EXPECT_EQ(symlink((d + "/made").c_str(), (d + "/out").c_str()), 0);
       return d + "/out";
     },
     "", 2,
     [](const std::string& d) {
       EXPECT_TRUE(fs::is_symlink(d + "/out"));
       EXPECT_EQ(ReadFile(d + "/made"), kBytes);
     }},
    {"a loop of links is refused",
     [](const std::string& d) {
       EXPECT_EQ(symlink("back", (d + "/out").c_str()), 0);
       EXPECT_EQ(symlink("out", (d + "/back").c_str()), 0);
       return d + "/out";
     },
     "Too many levels of symbolic links", 2, [](const std::string&) {}},
    {"a read-only file is left unchanged",
     [](const std::string& d) {
       WriteFile(d + "/out", "old");
       chmod((d + "/out").c_str(), 0444);
       return d + "/out";
     },
     "the file is read-only; it was left unchanged", 1,
     [](const std::string& d) {
       EXPECT_EQ(ReadFile(d + "/out"), "old");
       EXPECT_EQ(PermissionsOf(d + "/out"), 0444u);
     }},
    {"a missing folder", [](const std::string& d) { return d + "/missing/out"; },
     "No such file or directory", 0, [](const std::string&) {}},
    {"a folder in the way keeps its contents",
     [](const std::string& d) {
       mkdir((d + "/out").c_str(), 0755);
       WriteFile(d + "/out/inside", "kept");
       return d + "/out";
     },
     "Is a directory", 1, [](const std::string& d) { EXPECT_EQ(ReadFile(d + "/out/inside"), "kept"); }},
};

TEST(FileWrite, EveryKindOfTarget) {
  for (const WriteCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    const std::string dir = MakeTempFolder();
    const std::string path = c.Prepare(dir);
    std::string error;
    const bool written = platform::WriteFileAtomic(path, kBytes, error);
    EXPECT_EQ(written, c.Error[0] == 0);
    EXPECT_EQ(error, c.Error);
    EXPECT_EQ(EntriesIn(dir), c.Entries);
    c.Check(dir);
  }
}

TEST(WholeFile, ReadsEveryByteAndRefusesFolders) {
  std::string dir = MakeTempFolder();
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
  WriteFile(dir + "/f", bytes);
  std::string got, error;
  ASSERT_TRUE(exchange::ReadWholeFile(dir + "/f", got, error));
  EXPECT_EQ(got, bytes);
  EXPECT_FALSE(exchange::ReadWholeFile(dir, got, error));
  EXPECT_EQ(error, "Is a directory");
  EXPECT_FALSE(exchange::ReadWholeFile(dir + "/none", got, error));
  EXPECT_EQ(got, bytes);  // untouched on failure
  EXPECT_TRUE(exchange::FileExists(dir + "/f"));
  EXPECT_FALSE(exchange::FileExists(dir));
}

}  // namespace
