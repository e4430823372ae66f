// Tests of the picture written as a PNG file.
#include <gtest/gtest.h>
#include <zlib.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/kernel.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "support/run_program.h"

namespace platform {
namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

class PngFile : public ::testing::Test {
 protected:
  void SetUp() override {
    gfx::BuildPalette();
    InstallImageDriver(5, 3);
    Drv.DrvInitGraphics();
    // A folder of its own: other runs of the suite may write at the same time.
    folder_ = testing_support::MakeTempFolder();
    path_ = folder_ + "/picture.png";
  }
  void TearDown() override {
    std::remove(path_.c_str());
    rmdir(folder_.c_str());
  }
  std::string folder_;
  std::string path_;
};

TEST_F(PngFile, SignatureHeaderAndPixels) {
  Drv.DrvPoint(1, 2, 12);             // red
  Drv.DrvPutPixelRGB(4, 0, 1, 2, 3);
  ASSERT_EQ(WritePicturePng(path_), "");
  const std::vector<unsigned char> f = ReadFile(path_);
  ASSERT_GT(f.size(), 57u);
  const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature, signature + 8, f.begin()));
  // IHDR of 13 bytes: width 5, height 3, 8 bits, RGB; its CRC.
  EXPECT_EQ(std::string(f.begin() + 12, f.begin() + 16), "IHDR");
  EXPECT_EQ((std::array<std::uint32_t, 5>{BigEndian(&f[8]), BigEndian(&f[16]), BigEndian(&f[20]), f[24], f[25]}),
            (std::array<std::uint32_t, 5>{13, 5, 3, 8, 2}));
  EXPECT_EQ(BigEndian(&f[29]), crc32(0, &f[12], 17));
  EXPECT_EQ(std::string(f.end() - 8, f.end() - 4), "IEND");

  // The IDAT chunk follows IHDR; inflate it and look at the pixels.
  const std::uint32_t idatSize = BigEndian(&f[33]);
  EXPECT_EQ(std::string(f.begin() + 37, f.begin() + 41), "IDAT");
  std::vector<unsigned char> raw(3 * (1 + 5 * 3));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, &f[41], idatSize), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  // Each row: its filter byte 0, then red, green, blue of each pixel.
  std::vector<unsigned char> want(raw.size(), 0);
  const int row = 1 + 5 * 3;
  want[2 * row + 1 + 3 * 1] = 255;
  want[0 * row + 1 + 3 * 4 + 0] = 1;
  want[0 * row + 1 + 3 * 4 + 1] = 2;
  want[0 * row + 1 + 3 * 4 + 2] = 3;
  EXPECT_EQ(raw, want);
}

TEST_F(PngFile, UnwritableFolderGivesAnErrorText) {
  EXPECT_EQ(WritePicturePng("/nonexistent-folder/x/picture.png"), "No such file or directory");
}

}  // namespace
}  // namespace platform
