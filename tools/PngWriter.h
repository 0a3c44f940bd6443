// Writes 8-bit RGB and RGBA pictures as PNG files, for contact sheets and icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// rgb holds width * height pixels, 3 bytes each, row by row. False if the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
// The same with 4 bytes a pixel, the last one its opacity (0 clear, 255 solid).
bool writePngWithAlpha(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

}  // namespace tools
