// The readable sources of the pictures: the palette and the pixel-art sprites
// of resources/art.
//
// A sprite file holds blocks: a header line "[name]" followed by the rows of
// the grid, ended by a blank line. Everything outside blocks is free text. In
// a grid "." leaves the pixel beneath alone, "#" is the ink the caller
// chooses (a rank is red or black), and any other character is a palette key.
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace generator {

struct Colour {
    char key;
    std::uint32_t rgb;  // 0xRRGGBB
    std::string name;
};

struct Sprite {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::string> rows;

    char at(int x, int y) const { return rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]; }
};

Sprite turnHalf(const Sprite& sprite);

struct Art {
    std::vector<Colour> palette;  // index order
    std::map<std::string, Sprite, std::less<>> sprites;

    // Both end the program on an unknown name: the sources and the code disagree.
    std::uint8_t colour(std::string_view name) const;
    const Sprite& sprite(std::string_view name) const;
    std::uint8_t colourOfKey(char key) const;
};

// Both return false with a message naming the file and line.
bool loadPalette(const std::filesystem::path& file, Art& art, std::string& error);
bool loadSprites(const std::filesystem::path& file, Art& art, std::string& error);

// Draws the sprite with its top-left corner at (x, y); "#" becomes ink.
void stamp(Canvas& canvas, const Art& art, const Sprite& sprite, int x, int y, std::uint8_t ink = 0);

[[noreturn]] void fail(const std::string& message);

}  // namespace generator
