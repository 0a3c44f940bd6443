// zarta-image-generator ART_FOLDER OUTPUT.cpp
//
// Reads the palette and sprite sheets of ART_FOLDER, composes every picture
// of the program and writes them as a C++ source.
#include "Art.h"
#include "Inventory.h"
#include "Output.h"
#include "Pictures.h"

#include <algorithm>
#include <cstdio>
#include <set>

using namespace generator;

namespace {

bool loadAll(const std::filesystem::path& folder, Art& art, std::string& error)
{
    if (!loadPalette(folder / "palette.txt", art, error))
        return false;
    std::vector<std::filesystem::path> sheets;
    std::error_code code;
    for (const auto& entry : std::filesystem::directory_iterator(folder, code))
        if (entry.path().extension() == ".txt" && entry.path().filename() != "palette.txt")
            sheets.push_back(entry.path());
    if (code) {
        error = folder.string() + ": " + code.message();
        return false;
    }
    std::sort(sheets.begin(), sheets.end());
    for (const auto& sheet : sheets)
        if (!loadSprites(sheet, art, error))
            return false;
    return true;
}

// Every "[icon-N]" sprite, an N x N drawing of the program icon, in rising
// size. Its background is the clear colour; the platform shows the icon with
// a 16-colour palette.
std::vector<Canvas> icons(const Art& art)
{
    std::vector<Canvas> found;
    for (const auto& [name, sprite] : art.sprites) {
        if (!name.starts_with("icon-"))
            continue;
        if (name != "icon-" + std::to_string(sprite.width) || sprite.width != sprite.height)
            fail(name + " is " + std::to_string(sprite.width) + " x " + std::to_string(sprite.height) +
                 ", not the square its name gives");
        Canvas canvas(sprite.width, sprite.height, art.colour("clear"));
        stamp(canvas, art, sprite, 0, 0);
        std::set<std::uint8_t> colours(canvas.pixels.begin(), canvas.pixels.end());
        if (colours.size() > 16)
            fail(name + " uses more than 16 colours");
        found.push_back(std::move(canvas));
    }
    std::sort(found.begin(), found.end(), [](const Canvas& a, const Canvas& b) { return a.width < b.width; });
    if (found.empty())
        fail("no [icon-N] drawing of the program icon");
    return found;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zarta-image-generator ART_FOLDER OUTPUT.cpp\n");
        return 2;
    }
    Art art;
    std::string error;
    if (!loadAll(argv[1], art, error))
        fail(error);

    std::vector<Picture> pictures;
    pictures.push_back({backgroundId, background(art)});
    addCards(art, pictures);
    addPanelsAndButtons(art, pictures);
    addBubbles(art, pictures);
    std::sort(pictures.begin(), pictures.end(), [](const Picture& a, const Picture& b) { return a.id < b.id; });
    for (std::size_t i = 1; i < pictures.size(); ++i)
        if (pictures[i].id == pictures[i - 1].id)
            fail("two pictures with id " + std::to_string(pictures[i].id));

    if (!writeImagesSource(argv[2], art, pictures, icons(art), error))
        fail(error);
    return 0;
}
