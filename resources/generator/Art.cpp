#include "Art.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace generator {

void fail(const std::string& message)
{
    std::fprintf(stderr, "zarta-image-generator: %s\n", message.c_str());
    std::exit(1);
}

Sprite turnHalf(const Sprite& sprite)
{
    Sprite turned = sprite;
    for (int y = 0; y < sprite.height; ++y)
        for (int x = 0; x < sprite.width; ++x)
            turned
                .rows[static_cast<std::size_t>(sprite.height - 1 - y)][static_cast<std::size_t>(sprite.width - 1 - x)] =
                sprite.at(x, y);
    return turned;
}

std::uint8_t Art::colour(std::string_view name) const
{
    for (std::size_t index = 0; index < palette.size(); ++index)
        if (palette[index].name == name)
            return static_cast<std::uint8_t>(index);
    fail("no palette colour named " + std::string(name));
}

std::uint8_t Art::colourOfKey(char key) const
{
    for (std::size_t index = 0; index < palette.size(); ++index)
        if (palette[index].key == key)
            return static_cast<std::uint8_t>(index);
    fail(std::string("no palette colour with key ") + key);
}

const Sprite& Art::sprite(std::string_view name) const
{
    auto found = sprites.find(name);
    if (found == sprites.end())
        fail("no sprite named " + std::string(name));
    return found->second;
}

namespace {

std::string where(const std::filesystem::path& file, int line)
{
    return file.string() + ":" + std::to_string(line) + ": ";
}

bool isPaletteKey(const Art& art, char key)
{
    for (const Colour& colour : art.palette)
        if (colour.key == key)
            return true;
    return false;
}

}  // namespace

// One colour a line: key, red, green, blue (0..255), name. "#" starts a comment line.
bool loadPalette(const std::filesystem::path& file, Art& art, std::string& error)
{
    std::ifstream in(file);
    if (!in) {
        error = file.string() + ": cannot read";
        return false;
    }
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (text.empty() || text[0] == '#')
            continue;
        std::istringstream fields(text);
        std::string key;
        int red = -1, green = -1, blue = -1;
        std::string name;
        bool read = static_cast<bool>(fields >> key >> red >> green >> blue >> name);
        bool inRange = red >= 0 && red <= 255 && green >= 0 && green <= 255 && blue >= 0 && blue <= 255;
        if (!read || key.size() != 1 || key == "." || key == "#" || !inRange) {
            error = where(file, line) + "expected: key red green blue name";
            return false;
        }
        if (isPaletteKey(art, key[0])) {
            error = where(file, line) + "key " + key + " used twice";
            return false;
        }
        auto rgb = static_cast<std::uint32_t>((red << 16) | (green << 8) | blue);
        art.palette.push_back(Colour{key[0], rgb, name});
    }
    if (art.palette.empty() || art.palette.size() > 256) {
        error = file.string() + ": a palette holds 1 to 256 colours";
        return false;
    }
    return true;
}

bool loadSprites(const std::filesystem::path& file, Art& art, std::string& error)
{
    std::ifstream in(file);
    if (!in) {
        error = file.string() + ": cannot read";
        return false;
    }
    std::string text;
    Sprite* open = nullptr;
    for (int line = 1; std::getline(in, text); ++line) {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
            std::string name = text.substr(1, text.size() - 2);
            if (art.sprites.count(name)) {
                error = where(file, line) + "sprite " + name + " defined twice";
                return false;
            }
            open = &art.sprites[name];
            open->name = name;
            continue;
        }
        if (text.empty()) {
            open = nullptr;
            continue;
        }
        if (!open)
            continue;
        if (!open->rows.empty() && static_cast<int>(text.size()) != open->width) {
            error = where(file, line) + "row width differs in sprite " + open->name;
            return false;
        }
        for (char key : text)
            if (key != '.' && key != '#' && !isPaletteKey(art, key)) {
                error = where(file, line) + "unknown colour key " + std::string(1, key) + " in sprite " + open->name;
                return false;
            }
        open->width = static_cast<int>(text.size());
        open->rows.push_back(text);
        open->height = static_cast<int>(open->rows.size());
    }
    return true;
}

void stamp(Canvas& canvas, const Art& art, const Sprite& sprite, int x, int y, std::uint8_t ink)
{
    for (int row = 0; row < sprite.height; ++row)
        for (int column = 0; column < sprite.width; ++column) {
            char key = sprite.at(column, row);
            if (key == '.')
                continue;
            canvas.set(x + column, y + row, key == '#' ? ink : art.colourOfKey(key));
        }
}

}  // namespace generator
