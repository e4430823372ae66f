// src/platform/image/png.cpp — the PNG writer of the image driver.
#include "platform/image/png.h"

#include <zlib.h>

#include <string_view>
#include <vector>

#include "platform/file_write.h"

namespace platform {

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kBytesPerPixel = 3;  // RGB, 8 bits each

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t v) {
  out.push_back(static_cast<unsigned char>(v >> 24));
  out.push_back(static_cast<unsigned char>(v >> 16));
  out.push_back(static_cast<unsigned char>(v >> 8));
  out.push_back(static_cast<unsigned char>(v));
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<unsigned char>& out, const char* type,
              const unsigned char* data, std::size_t size) {
  PutBigEndian(out, static_cast<std::uint32_t>(size));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  if (size > 0) out.insert(out.end(), data, data + size);
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), out.data() + typeAt,
                          static_cast<uInt>(4 + size));
  PutBigEndian(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::string WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height) {
  if (pixels == nullptr || width <= 0 || height <= 0) return "no picture to write";

  // Rows of filter byte 0 followed by the row's RGB bytes.
  const std::size_t rowBytes = 1 + static_cast<std::size_t>(width) * kBytesPerPixel;
  std::vector<unsigned char> raw(rowBytes * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    unsigned char* row = raw.data() + rowBytes * y;
    row[0] = 0;
    const std::uint32_t* src = pixels + static_cast<std::size_t>(width) * y;
    for (int x = 0; x < width; ++x) {
      row[1 + kBytesPerPixel * x] = static_cast<unsigned char>(src[x] >> 16);
      row[2 + kBytesPerPixel * x] = static_cast<unsigned char>(src[x] >> 8);
      row[3 + kBytesPerPixel * x] = static_cast<unsigned char>(src[x]);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    return "cannot compress the picture";

  std::vector<unsigned char> file(kSignature, kSignature + sizeof kSignature);
  std::vector<unsigned char> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.push_back(8);  // bit depth
  header.push_back(2);  // colour type: RGB
  header.push_back(0);  // deflate
  header.push_back(0);  // filter method 0
  header.push_back(0);  // no interlace
  PutChunk(file, "IHDR", header.data(), header.size());
  PutChunk(file, "IDAT", packed.data(), packedSize);
  PutChunk(file, "IEND", nullptr, 0);

  std::string error;
  if (!WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()),
                       error))
    return error;
  return "";
}

}  // namespace platform
