// src/platform/image/png.h — a minimal PNG writer: one IHDR, one IDAT
// compressed by zlib, IEND; 8-bit RGB, no interlace, filter 0 on every row.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// pixels: width × height words 0xFFRRGGBB, row after row. Returns "" on
// success, else a text saying what failed (the file is then not left
// half-written under its name).
std::string WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height);

}  // namespace platform
