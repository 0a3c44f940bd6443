// Writes 8-bit RGB and RGBA pictures as PNG files, for contact sheets and icons.
// The file is written as tools/OutputFile.h describes: a failed write never
// removes or spoils what was at the path before.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// rgb holds width * height pixels, 3 bytes each, row by row. False, with the
// reason in `failure`, if the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& failure);
// The same with 4 bytes a pixel, the last one its opacity (0 clear, 255 solid).
bool writePngWithAlpha(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                       std::string& failure);

}  // namespace tools
