// Writes 8-bit RGB pictures as PNG files, for contact sheets and icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// rgb holds width * height pixels, 3 bytes each, row by row. False if the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace tools
