#include "tools/PngWriter.h"

#include <png.h>

#include <cstdio>

namespace tools {

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3)
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0)
        return true;
    std::fprintf(stderr, "%s: %s\n", path.c_str(), image.message);
    png_image_free(&image);
    return false;
}

}  // namespace tools
