// make install into a fresh prefix: the program beside its guide, a link
// on the path, the desktop entry, the icon and the type of the data files.
#include <gtest/gtest.h>

#include <string>

#include "support/run_program.h"

namespace {

using namespace testing_support;

// A shell command's output, both streams, and whether it succeeded.
bool Shell(const std::string& command, std::string& out) {
  const ProgramRun r = RunProgram("", ".", command);
  out = r.Out + r.Err;
  return r.Status == 0;
}

TEST(Install, IntoAPrefixGivesAProgramThatFileManagersOpen) {
  const std::string prefix = MakeTempFolder(), share = prefix + "/share";
  std::string out;
  ASSERT_TRUE(Shell("cmake --install " + Quote(BRELMORA_BINARY_DIR) + " --prefix " + Quote(prefix), out)) << out;
  EXPECT_TRUE(FileExists(prefix + "/lib/brelmora/VOD.HTM"));
  EXPECT_TRUE(FileExists(prefix + "/lib/brelmora/guide-sphere.png"));
  ASSERT_TRUE(Shell(Quote(prefix + "/bin/brelmora") + " --version", out)) << out;
  EXPECT_EQ(out, "brelmora 2.1\n");
  const std::string entry = share + "/applications/brelmora.desktop";
  EXPECT_TRUE(Shell("desktop-file-validate " + Quote(entry), out)) << out;
  EXPECT_EQ(out, "");
  EXPECT_NE(ReadFile(entry).find("\nExec=brelmora %f\n"), std::string::npos);
  EXPECT_NE(ReadFile(entry).find("\nMimeType=application/x-brelmora-shell;\n"), std::string::npos);
  EXPECT_TRUE(FileExists(share + "/icons/hicolor/scalable/apps/brelmora.svg"));
  // The type is known by its name pattern once the database is built.
  EXPECT_NE(ReadFile(share + "/mime/globs2").find("application/x-brelmora-shell:*.spw"), std::string::npos);
}

}  // namespace
