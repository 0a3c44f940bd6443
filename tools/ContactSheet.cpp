// zarta-contact-sheet OUT.png [scale [first-id last-id]]
//
// Draws every picture of the program on one sheet, each with its id under it,
// so the whole set can be looked over at once: all bitmaps in id order, then
// every drawn size of the icon, largest first, on the sheet's own colour where
// the icon is clear. Pictures of one size share a row.
#include "resources/Resources.h"
#include "tools/PngWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int maxSheetWidth = 560;  // before scaling
constexpr int margin = 6;
constexpr int gap = 6;
constexpr int labelGap = 2;
constexpr int digitWidth = 3;
constexpr int digitHeight = 5;
constexpr std::uint32_t sheetColour = 0x303038;
constexpr std::uint32_t labelColour = 0xE0E0E0;

// 3 x 5 digits, one row per string.
constexpr const char* Digits[10][digitHeight] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", ".##", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

struct Sheet {
    int width;
    int height;
    int scale;
    std::vector<std::uint8_t> rgb;

    void plot(int x, int y, std::uint32_t colour)  // sheet units before scaling
    {
        for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx) {
                std::size_t at = (static_cast<std::size_t>(y * scale + dy) * static_cast<std::size_t>(width) +
                                  static_cast<std::size_t>(x * scale + dx)) *
                                 3;
                rgb[at] = static_cast<std::uint8_t>(colour >> 16);
                rgb[at + 1] = static_cast<std::uint8_t>(colour >> 8);
                rgb[at + 2] = static_cast<std::uint8_t>(colour);
            }
    }
};

struct Placed {
    const resources::Bitmap* bitmap;
    int x;
    int y;
};

int labelWidth(int id)
{
    return static_cast<int>(std::to_string(id).size()) * (digitWidth + 1) - 1;
}

void drawLabel(Sheet& sheet, int id, int x, int y)
{
    for (char digit : std::to_string(id)) {
        for (int row = 0; row < digitHeight; ++row)
            for (int column = 0; column < digitWidth; ++column)
                if (Digits[digit - '0'][row][column] == '#')
                    sheet.plot(x + column, y + row, labelColour);
        x += digitWidth + 1;
    }
}

// Flows the pictures left to right; a new size or a full row starts a new row.
std::vector<Placed> layOut(const std::vector<const resources::Bitmap*>& bitmaps, int& width, int& height)
{
    std::vector<Placed> placed;
    int x = margin, y = margin, rowHeight = 0;
    width = 0;
    const resources::Bitmap* previous = nullptr;
    for (const resources::Bitmap* bitmap : bitmaps) {
        int cellWidth = std::max(bitmap->width, labelWidth(bitmap->id));
        bool newSize = previous && (previous->width != bitmap->width || previous->height != bitmap->height);
        if (x > margin && (newSize || x + cellWidth > maxSheetWidth - margin)) {
            x = margin;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        placed.push_back({bitmap, x, y});
        width = std::max(width, x + cellWidth + margin);
        x += cellWidth + gap;
        rowHeight = std::max(rowHeight, bitmap->height + labelGap + digitHeight);
        previous = bitmap;
    }
    height = y + rowHeight + margin;
    return placed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: zarta-contact-sheet OUT.png [scale [first-id last-id]]\n");
        return 2;
    }
    int scale = argc >= 3 ? std::atoi(argv[2]) : 1;
    int firstId = argc == 5 ? std::atoi(argv[3]) : 0;
    int lastId = argc == 5 ? std::atoi(argv[4]) : 1 << 30;
    if (scale < 1 || scale > 16) {
        std::fprintf(stderr, "zarta-contact-sheet: scale must be 1 to 16\n");
        return 2;
    }

    std::vector<const resources::Bitmap*> bitmaps;
    for (int i = 0; i < resources::bitmapCount(); ++i) {
        const resources::Bitmap* bitmap = resources::bitmapAt(i);
        if (bitmap->id >= firstId && bitmap->id <= lastId)
            bitmaps.push_back(bitmap);
    }
    for (int i = resources::iconCount() - 1; i >= 0; --i) {
        const resources::Bitmap* icon = resources::iconAt(i);
        if (icon->id >= firstId && icon->id <= lastId)
            bitmaps.push_back(icon);
    }

    if (bitmaps.empty()) {
        std::fprintf(stderr, "zarta-contact-sheet: no pictures with ids %d to %d\n", firstId, lastId);
        return 1;
    }
    int width = 0, height = 0;
    std::vector<Placed> placed = layOut(bitmaps, width, height);
    Sheet sheet{width * scale, height * scale, scale, {}};
    sheet.rgb.resize(static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(sheet.height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            sheet.plot(x, y, sheetColour);

    for (const Placed& item : placed) {
        const resources::Bitmap& bitmap = *item.bitmap;
        for (int y = 0; y < bitmap.height; ++y)
            for (int x = 0; x < bitmap.width; ++x) {
                std::uint8_t index = bitmap.pixels[static_cast<std::size_t>(y * bitmap.width + x)];
                if (index != resources::clearIndex())
                    sheet.plot(item.x + x, item.y + y, resources::paletteColor(index));
            }
        drawLabel(sheet, bitmap.id, item.x, item.y + bitmap.height + labelGap);
    }

    std::string failure;
    if (!tools::writePng(argv[1], sheet.width, sheet.height, sheet.rgb, failure)) {
        std::fprintf(stderr, "zarta-contact-sheet: cannot write %s: %s\n", argv[1], failure.c_str());
        return 1;
    }
    return 0;
}
