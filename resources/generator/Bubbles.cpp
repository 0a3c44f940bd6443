// Speech bubbles ("Stop", "Pass") and score bubbles, one set per seat, and
// the blank spots that clear them.
//
// Every bubble starts as the south one: a white balloon with its tail at the
// bottom. North flips the balloon so the tail points up at its cards; west
// and east turn the whole picture, text included, so the tail points at their
// cards and the text faces that seat.
#include "Inventory.h"
#include "Pictures.h"

#include <string>

namespace generator {

namespace {

constexpr int bubbleWidth = 47;
constexpr int bubbleHeight = 28;
// Inside of the balloon's body in the south picture, without the tail.
constexpr int bodyTop = 1;
constexpr int bodyHeight = 19;

Canvas southOrNorthBubble(const Art& art, std::string_view content, bool tailUp)
{
    Canvas canvas(bubbleWidth, bubbleHeight, art.colour("table"));
    stamp(canvas, art, art.sprite("bubble"), 0, 0);
    int top = bodyTop;
    if (tailUp) {
        canvas = flipVertical(canvas);
        top = bubbleHeight - bodyTop - bodyHeight;
    }
    if (content == "flash") {
        const Sprite& flash = art.sprite("flash");
        stamp(canvas, art, flash, (bubbleWidth - flash.width) / 2, top + (bodyHeight - flash.height) / 2);
    } else {
        // The word for 31 is the best hand there is, so it stands out in red.
        std::uint8_t ink = art.colour(content == "Zarta" ? "ink-red" : "ink-black");
        Sprite text = textLine(art, content);
        stamp(canvas, art, text, (bubbleWidth - text.width) / 2, top + (bodyHeight - fontCapHeight + 1) / 2, ink);
    }
    return canvas;
}

Canvas bubbleFor(const Art& art, Seat seat, std::string_view content)
{
    switch (seat) {
    case Seat::south:
        return southOrNorthBubble(art, content, false);
    case Seat::west:
        return turnClockwise(southOrNorthBubble(art, content, false));
    case Seat::north:
        return southOrNorthBubble(art, content, true);
    case Seat::east:
        return turnAnticlockwise(southOrNorthBubble(art, content, false));
    }
    return {};
}

}  // namespace

Sprite textLine(const Art& art, std::string_view text)
{
    Sprite line;
    line.name = std::string(text);
    for (char letter : text) {
        const Sprite& glyph = art.sprite(std::string("font-") + letter);
        if (line.rows.empty()) {
            line.rows.assign(static_cast<std::size_t>(glyph.height), std::string());
            line.height = glyph.height;
        } else {
            for (std::string& row : line.rows)
                row += '.';
        }
        if (glyph.height != line.height)
            fail("font glyphs differ in height: " + glyph.name);
        for (int y = 0; y < glyph.height; ++y)
            line.rows[static_cast<std::size_t>(y)] += glyph.rows[static_cast<std::size_t>(y)];
    }
    line.width = line.rows.empty() ? 0 : static_cast<int>(line.rows[0].size());
    return line;
}

void addBubbles(const Art& art, std::vector<Picture>& pictures)
{
    for (std::size_t seat = 0; seat < Seats.size(); ++seat) {
        pictures.push_back({StopBubbleIds[seat], bubbleFor(art, Seats[seat], "Stop")});
        pictures.push_back({PassBubbleIds[seat], bubbleFor(art, Seats[seat], "Pass")});
        for (std::size_t k = 0; k < ScoreTexts.size(); ++k)
            pictures.push_back({ScoreBaseIds[seat] + static_cast<int>(k), bubbleFor(art, Seats[seat], ScoreTexts[k])});
        pictures.push_back({Score24Ids[seat], bubbleFor(art, Seats[seat], "24")});
    }
    pictures.push_back({blankSideId, Canvas(bubbleHeight, bubbleWidth, art.colour("table"))});
    pictures.push_back({blankUprightId, Canvas(bubbleWidth, bubbleHeight, art.colour("table"))});
}

}  // namespace generator
