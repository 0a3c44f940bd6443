// zarta-icons OUTDIR [SIZE...]
//
// Writes the program icon as OUTDIR/NxN/apps/zarta.png, laid out as the
// hicolor theme wants it, for every size asked for (by default every size the
// icon is drawn at: 16, 32, 48, 64, 128 and 256). Where the icon is clear the
// PNG is fully transparent.
//
// A drawn size is written as drawn. Any other size takes the largest drawing
// that divides it, every pixel repeated a whole number of times, so pixel art
// keeps its hard edges. A size no drawing divides is averaged down from the
// next larger drawing, or above the largest one, sampled up from it.
#include "resources/ResourceIds.h"
#include "resources/Resources.h"
#include "tools/PngWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int largestSize = 4096;
constexpr int samplesPerSide = 8;  // per output pixel and side, when averaging down

struct Rgba {
    std::uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

Rgba colourAt(const resources::Bitmap& icon, int x, int y)
{
    std::uint8_t index = icon.pixels[static_cast<std::size_t>(y * icon.width + x)];
    if (index == resources::clearIndex())
        return {};
    std::uint32_t colour = resources::paletteColor(index);
    return {(colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF, 255};
}

const resources::Bitmap* drawingFor(int size)
{
    const resources::Bitmap* chosen = nullptr;
    for (int i = 0; i < resources::iconCount(); ++i) {
        const resources::Bitmap* icon = resources::iconAt(i);
        if (icon->id == res::iconProgram && size % icon->width == 0)
            chosen = icon;
    }
    if (chosen)
        return chosen;
    for (int i = 0; i < resources::iconCount(); ++i) {
        const resources::Bitmap* icon = resources::iconAt(i);
        if (icon->id == res::iconProgram && icon->width > size)
            return icon;
    }
    return resources::iconAt(resources::iconCount() - 1);
}

// One output pixel: the source pixel under it, or the average of a grid of
// samples when the source is larger. Colours are weighted by their opacity so
// the clear pixels' colour never bleeds into the edges.
Rgba pixelAt(const resources::Bitmap& icon, int size, int x, int y)
{
    if (icon.width <= size)
        return colourAt(icon, x * icon.width / size, y * icon.width / size);
    Rgba sum;
    for (int sy = 0; sy < samplesPerSide; ++sy)
        for (int sx = 0; sx < samplesPerSide; ++sx) {
            int sourceX = (x * samplesPerSide + sx) * icon.width / (size * samplesPerSide);
            int sourceY = (y * samplesPerSide + sy) * icon.width / (size * samplesPerSide);
            Rgba sample = colourAt(icon, sourceX, sourceY);
            sum.red += sample.red * sample.alpha;
            sum.green += sample.green * sample.alpha;
            sum.blue += sample.blue * sample.alpha;
            sum.alpha += sample.alpha;
        }
    if (sum.alpha == 0)
        return {};
    constexpr std::uint32_t samples = samplesPerSide * samplesPerSide;
    return {sum.red / sum.alpha, sum.green / sum.alpha, sum.blue / sum.alpha, sum.alpha / samples};
}

std::vector<std::uint8_t> iconPixels(const resources::Bitmap& icon, int size)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgba pixel = pixelAt(icon, size, x, y);
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(pixel.red), static_cast<std::uint8_t>(pixel.green),
                                     static_cast<std::uint8_t>(pixel.blue), static_cast<std::uint8_t>(pixel.alpha)});
        }
    return rgba;
}

bool writeIcon(const std::filesystem::path& outDir, int size)
{
    const resources::Bitmap* icon = drawingFor(size);
    if (!icon) {
        std::fprintf(stderr, "zarta-icons: the program icon has no drawing\n");
        return false;
    }
    const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = outDir / sizeName / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "zarta-icons: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return false;
    }
    const std::string file = (folder / "zarta.png").string();
    std::string failure;
    if (!tools::writePngWithAlpha(file, size, size, iconPixels(*icon, size), failure)) {
        std::fprintf(stderr, "zarta-icons: cannot write %s: %s\n", file.c_str(), failure.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: zarta-icons OUTDIR [SIZE...]\n");
        return 2;
    }
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < 1 || size > largestSize) {
            std::fprintf(stderr, "zarta-icons: size '%s' is not a whole number from 1 to %d\n", argv[i], largestSize);
            return 2;
        }
        sizes.push_back(static_cast<int>(size));
    }
    if (sizes.empty())
        for (int i = 0; i < resources::iconCount(); ++i)
            sizes.push_back(resources::iconAt(i)->width);

    for (int size : sizes)
        if (!writeIcon(argv[1], size))
            return 1;
    return 0;
}
