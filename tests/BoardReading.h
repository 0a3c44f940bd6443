// Reading the board as a player does: what a seat's bubble says, where its
// tail points, and how many coins a lives panel shows. Places come from the
// board's layout; lettering is read with the glyphs of resources/art, never
// through the program's image tables.
#pragma once

#include "tests/Harness.h"

#include <array>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

constexpr std::uint32_t boardGreen = 0x008000;
constexpr std::uint32_t bubbleWhite = 0xFFFFFF;

// A place on the board: top-left corner and size.
struct BoardArea {
    int x, y, width, height;
};

// The bubble spot of each seat (index 1..4), 47 x 28 or 28 x 47.
constexpr BoardArea BubbleSpots[5] = {{}, {51, 161, 47, 28}, {50, 51, 28, 47}, {141, 50, 47, 28}, {161, 141, 28, 47}};

// The lives display of each seat (index 1..4), 31 x 43 upright or 43 x 31 sideways.
constexpr BoardArea LivesSpots[5] = {{}, {150, 189, 31, 43}, {7, 150, 43, 31}, {58, 7, 31, 43}, {189, 58, 43, 31}};

// A picture read off the screen, row by row.
struct Patch {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool operator==(const Patch&) const = default;
};

inline Patch readArea(const Harness& harness, BoardArea area)
{
    Patch patch{area.width, area.height, {}};
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            patch.pixels.push_back(harness.boardPixel(area.x + x, area.y + y));
    return patch;
}

// The top edge becomes the right edge.
inline Patch turnedClockwise(const Patch& p)
{
    Patch turned{p.height, p.width, std::vector<std::uint32_t>(p.pixels.size())};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            turned.pixels[static_cast<std::size_t>(x * turned.width + (p.height - 1 - y))] = p.at(x, y);
    return turned;
}

inline Patch turnedAnticlockwise(const Patch& p)
{
    return turnedClockwise(turnedClockwise(turnedClockwise(p)));
}

inline bool isPlainGreen(const Patch& p)
{
    for (std::uint32_t pixel : p.pixels)
        if (pixel != boardGreen)
            return false;
    return true;
}

// ---- Lettering ---------------------------------------------------------------

// Grids of '#' (ink or any colour) and '.' (left as it was), by name.
inline const std::map<std::string, std::vector<std::string>>& artSprites()
{
    static const std::map<std::string, std::vector<std::string>> sprites = [] {
        std::map<std::string, std::vector<std::string>> found;
        for (const char* file : {"font.txt", "board.txt"}) {
            std::ifstream in(std::string(ZARTA_ART_DIR) + "/" + file);
            std::string line, name;
            while (std::getline(in, line)) {
                if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
                    name = line.substr(1, line.size() - 2);
                    found[name];
                } else if (line.empty()) {
                    name.clear();
                } else if (!name.empty()) {
                    found[name].push_back(line);
                }
            }
        }
        return found;
    }();
    return sprites;
}

// A word as the bubbles set it: glyphs one blank column apart.
inline std::vector<std::string> lettering(const std::string& word)
{
    std::vector<std::string> rows;
    for (char letter : word) {
        const auto found = artSprites().find(std::string("font-") + letter);
        if (found == artSprites().end())
            return {};
        const std::vector<std::string>& glyph = found->second;
        if (rows.empty())
            rows.assign(glyph.size(), "");
        else
            for (std::string& row : rows)
                row += '.';
        for (std::size_t y = 0; y < glyph.size() && y < rows.size(); ++y)
            rows[y] += glyph[y];
    }
    return rows;
}

// Whether `grid` shows at (left, top) of the white bubble body in `p`: every
// marked cell drawn in some colour, every other cell still white.
inline bool showsGrid(const Patch& p, const std::vector<std::string>& grid, int left, int top)
{
    if (grid.empty())
        return false;
    for (std::size_t y = 0; y < grid.size(); ++y)
        for (std::size_t x = 0; x < grid[y].size(); ++x) {
            const int px = left + static_cast<int>(x);
            const int py = top + static_cast<int>(y);
            if (px < 0 || py < 0 || px >= p.width || py >= p.height)
                return false;
            if ((grid[y][x] != '.') != (p.at(px, py) != bubbleWhite))
                return false;
        }
    return true;
}

// The seat's bubble as the south seat would see its own: text upright, tail down
// (north keeps its tail up: only its balloon is flipped, not its text).
inline Patch bubbleUpright(const Harness& harness, Seat seat)
{
    const Patch p = readArea(harness, BubbleSpots[seat]);
    if (seat == seatWest)
        return turnedAnticlockwise(p);
    if (seat == seatEast)
        return turnedClockwise(p);
    return p;
}

// What the seat's bubble says: a word or number, "flash" for the lightning of
// three aces, "" for a plain green spot and "?" for anything else. The text is
// centred in the body, five rows below its top (row 1, or row 8 in north's
// flipped balloon).
inline std::string bubbleText(const Harness& harness, Seat seat)
{
    const Patch p = bubbleUpright(harness, seat);
    if (isPlainGreen(p))
        return "";
    const int bodyTop = seat == seatNorth ? 8 : 1;
    const int bodyHeight = 19;
    static const char* const words[] = {"Stop", "Pass", "7",  "8",  "9",  "10",   "11", "15",
                                        "16",   "17",   "18", "19", "20", "21",   "24", "25",
                                        "26",   "27",   "28", "29", "30", "30.5", "31", "Zarta"};
    for (const char* word : words) {
        const std::vector<std::string> rows = lettering(word);
        if (!rows.empty() && showsGrid(p, rows, (p.width - static_cast<int>(rows[0].size())) / 2, bodyTop + 5))
            return word;
    }
    const std::vector<std::string>& flash = artSprites().at("flash");
    if (showsGrid(p, flash, (p.width - static_cast<int>(flash[0].size())) / 2,
                  bodyTop + (bodyHeight - static_cast<int>(flash.size())) / 2))
        return "flash";
    return "?";
}

// Board positions along the spot's edge on the side of the seat's cards where
// the bubble is drawn: only the tip of its tail should be there.
inline std::vector<int> bubbleTouchesCardsSide(const Harness& harness, Seat seat)
{
    const BoardArea spot = BubbleSpots[seat];
    std::vector<int> along;
    const bool sideways = seat == seatWest || seat == seatEast;
    for (int i = 0; i < (sideways ? spot.height : spot.width); ++i) {
        const int x = seat == seatWest ? spot.x : seat == seatEast ? spot.x + spot.width - 1 : spot.x + i;
        const int y = seat == seatSouth ? spot.y + spot.height - 1 : seat == seatNorth ? spot.y : spot.y + i;
        if (harness.boardPixel(x, y) != boardGreen)
            along.push_back(sideways ? y : x);
    }
    return along;
}

// The span of the seat's three cards along that edge, end excluded: x for south and north, y for west and east.
constexpr std::array<int, 2> CardsSpan[5] = {{}, {60, 149}, {60, 149}, {90, 179}, {90, 179}};

// ---- Coins -------------------------------------------------------------------

inline bool isGold(std::uint32_t colour)
{
    return static_cast<int>(colour >> 16) - static_cast<int>(colour & 0xFF) > 60;
}

// Separate patches of gold: each is one coin.
inline int coinsOn(const Patch& panel)
{
    std::vector<bool> seen(panel.pixels.size(), false);
    int coins = 0;
    for (int start = 0; start < panel.width * panel.height; ++start) {
        if (seen[static_cast<std::size_t>(start)] || !isGold(panel.pixels[static_cast<std::size_t>(start)]))
            continue;
        ++coins;
        std::vector<int> open = {start};
        seen[static_cast<std::size_t>(start)] = true;
        while (!open.empty()) {
            const int at = open.back();
            open.pop_back();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = at % panel.width + dx, y = at / panel.width + dy;
                    if (x < 0 || y < 0 || x >= panel.width || y >= panel.height)
                        continue;
                    const auto next = static_cast<std::size_t>(y * panel.width + x);
                    if (!seen[next] && isGold(panel.pixels[next])) {
                        seen[next] = true;
                        open.push_back(static_cast<int>(next));
                    }
                }
        }
    }
    return coins;
}

}  // namespace testing_support
