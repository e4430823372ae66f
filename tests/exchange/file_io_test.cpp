// Whole-file reading and the atomic write that saving goes through.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include "exchange/file_io.h"
#include "support/run_program.h"

namespace {

using namespace testing_support;

// Entries of a folder, hidden ones (the temporary files) included.
int EntriesIn(const std::string& dir) {
  int n = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      n += name != "." && name != "..";
    }
    closedir(d);
  }
  return n;
}

TEST(AtomicWrite, ReplacesTheTargetAndLeavesNoTemporaryFile) {
  std::string dir = MakeTempFolder();
  std::string path = dir + "/shell.spw";
  WriteFile(path, "old contents");
  chmod(path.c_str(), 0640);
  std::string error;
  ASSERT_TRUE(exchange::WriteFileAtomic(path, std::string("new\r\n\0bytes", 12), error)) << error;
  EXPECT_EQ(ReadFile(path), std::string("new\r\n\0bytes", 12));
  struct stat st {};
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(EntriesIn(dir), 1);
}

TEST(AtomicWrite, AFailedWriteKeepsWhatWasThereAndSaysWhy) {
  std::string dir = MakeTempFolder();
  std::string error;
  EXPECT_FALSE(exchange::WriteFileAtomic(dir + "/missing/shell.spw", "x", error));
  EXPECT_EQ(error, "No such file or directory");

  // A folder standing where the file should go: the rename fails, and the
  // folder and its contents stay.
  std::string target = dir + "/shell.spw";
  mkdir(target.c_str(), 0755);
  WriteFile(target + "/inside", "kept");
  error.clear();
  EXPECT_FALSE(exchange::WriteFileAtomic(target, "x", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(target + "/inside"), "kept");
  EXPECT_EQ(EntriesIn(dir), 1);
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
