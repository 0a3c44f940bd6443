// zarta-icons OUTDIR
//
// Writes the program icon as OUTDIR/NxN/apps/zarta.png for every size a
// desktop menu asks for, laid out as the hicolor theme wants it. Each size is
// the 16 or 32 pixel icon with every pixel repeated a whole number of times,
// so the enlarged icons keep the hard edges of the original instead of
// blurring them.
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "tools/PngWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

struct IconSize {
    int size;        // pixels, square
    int sourceSize;  // 16 or 32: the icon image it is made from
    int factor;      // size / sourceSize
};

constexpr IconSize IconSizes[] = {
    {16, 16, 1}, {32, 32, 1}, {48, 16, 3}, {64, 32, 2}, {128, 32, 4}, {256, 32, 8},
};

std::vector<std::uint8_t> scaleToRgb(const resources::Bitmap& icon, int factor)
{
    const int size = icon.width * factor;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 3);
    std::size_t at = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint8_t index = icon.pixels[static_cast<std::size_t>((y / factor) * icon.width + x / factor)];
            std::uint32_t colour = resources::paletteColor(index);
            rgb[at++] = static_cast<std::uint8_t>(colour >> 16);
            rgb[at++] = static_cast<std::uint8_t>(colour >> 8);
            rgb[at++] = static_cast<std::uint8_t>(colour);
        }
    return rgb;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarta-icons OUTDIR\n");
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    for (const IconSize& entry : IconSizes) {
        const resources::Bitmap* icon = resources::findIcon(res::iconProgram, entry.sourceSize);
        if (!icon || icon->width != entry.sourceSize || icon->height != entry.sourceSize) {
            std::fprintf(stderr, "zarta-icons: no %d x %d program icon\n", entry.sourceSize, entry.sourceSize);
            return 1;
        }
        const std::string sizeName = std::to_string(entry.size) + "x" + std::to_string(entry.size);
        const std::filesystem::path folder = outDir / sizeName / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::fprintf(stderr, "zarta-icons: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
            return 1;
        }
        const std::string file = (folder / "zarta.png").string();
        if (!tools::writePng(file, entry.size, entry.size, scaleToRgb(*icon, entry.factor))) {
            std::fprintf(stderr, "zarta-icons: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
