#include "tools/PngWriter.h"

#include "tools/OutputFile.h"

#include <png.h>

namespace tools {

namespace {

// format is PNG_FORMAT_RGB or PNG_FORMAT_RGBA, with channels bytes a pixel.
// The picture is made in memory first, so only whole files reach the path.
bool writePixels(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels,
                 png_uint_32 format, std::size_t channels, std::string& failure)
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height * channels) {
        failure = "the picture has no pixels or the wrong number";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    png_alloc_size_t size = 0;
    std::vector<std::uint8_t> encoded;
    if (png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr)) {
        encoded.resize(size);
        if (png_image_write_to_memory(&image, encoded.data(), &size, 0, pixels.data(), 0, nullptr))
            encoded.resize(size);
        else
            encoded.clear();
    }
    if (encoded.empty()) {
        failure = image.message[0] ? image.message : "the picture could not be encoded";
        png_image_free(&image);
        return false;
    }
    return writeOutputFile(path, encoded, failure);
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& failure)
{
    return writePixels(path, width, height, rgb, PNG_FORMAT_RGB, 3, failure);
}

bool writePngWithAlpha(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                       std::string& failure)
{
    return writePixels(path, width, height, rgba, PNG_FORMAT_RGBA, 4, failure);
}

}  // namespace tools
