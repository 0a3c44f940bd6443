#include "tools/PngWriter.h"

#include <png.h>

#include <cstdio>

namespace tools {

namespace {

// format is PNG_FORMAT_RGB or PNG_FORMAT_RGBA, with channels bytes a pixel.
bool writePixels(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels,
                 png_uint_32 format, std::size_t channels)
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height * channels)
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    if (png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0)
        return true;
    std::fprintf(stderr, "%s: %s\n", path.c_str(), image.message);
    png_image_free(&image);
    return false;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    return writePixels(path, width, height, rgb, PNG_FORMAT_RGB, 3);
}

bool writePngWithAlpha(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba)
{
    return writePixels(path, width, height, rgba, PNG_FORMAT_RGBA, 4);
}

}  // namespace tools
