// Card faces, their veiled (selected) versions and the backs.
//
// A face: the rank in the top-left corner with a small pip under it, a large
// pip in the middle, and the corner again turned half round at the bottom
// right. The corners are cut round and show the table. A sideways face is
// the same card lying on its side with all its ink upright, both corners
// included: turned, a 7, a J and a 9 would read alike, and a 9 as a 6.
#include "Inventory.h"
#include "Pictures.h"

#include <string>

namespace generator {

namespace {

constexpr const char* SuitNames[suitCount] = {"clubs", "diamonds", "hearts", "spades"};
constexpr const char* RankNames[rankCount] = {"7", "8", "9", "10", "J", "Q", "K", "A"};

// The corner index sits in a column this wide, one pixel in from the edge.
constexpr int cornerX = 2;
constexpr int cornerWidth = 7;
constexpr int rankY = 2;
constexpr int pipGap = 1;

// Fills a rectangle whose corners are cut by radius pixels (0, 1 or 2).
void roundedRect(Canvas& canvas, int x, int y, int w, int h, int radius, std::uint8_t colour)
{
    for (int row = 0; row < h; ++row) {
        int fromEdge = row < h / 2 ? row : h - 1 - row;
        int inset = fromEdge >= radius ? 0 : radius - fromEdge;
        canvas.fillRect(x + inset, y + row, w - 2 * inset, 1, colour);
    }
}

// An edge, rounded at the corners, around a plain fill.
Canvas blankCard(const Art& art, std::uint8_t fill, int width = cardWidth, int height = cardHeight)
{
    Canvas card(width, height, art.colour("table"));
    roundedRect(card, 0, 0, width, height, 2, art.colour("card-edge"));
    roundedRect(card, 1, 1, width - 2, height - 2, 1, fill);
    return card;
}

std::uint8_t inkOf(const Art& art, int suit)
{
    bool red = suit == 2 || suit == 3;
    return art.colour(red ? "ink-red" : "ink-black");
}

}  // namespace

Canvas cardFace(const Art& art, int suit, int rank, Orientation orientation)
{
    const bool upright = orientation == Orientation::upright;
    const int width = upright ? cardWidth : cardHeight;
    const int height = upright ? cardHeight : cardWidth;
    std::string suitName = SuitNames[suit - 1];
    const Sprite& rankGlyph = art.sprite(std::string("rank-") + RankNames[rank - firstRank]);
    const Sprite& smallPip = art.sprite("pip-small-" + suitName);
    const Sprite& largePip = art.sprite("pip-large-" + suitName);
    std::uint8_t ink = inkOf(art, suit);

    Canvas face = blankCard(art, art.colour("paper"), width, height);
    int rankX = cornerX + (cornerWidth - rankGlyph.width) / 2;
    int pipX = cornerX + (cornerWidth - smallPip.width) / 2;
    int pipY = rankY + rankGlyph.height + pipGap;
    stamp(face, art, rankGlyph, rankX, rankY, ink);
    stamp(face, art, smallPip, pipX, pipY, ink);
    if (upright) {
        // The turned corner mirrors every position through the card's centre.
        Sprite turnedRank = turnHalf(rankGlyph);
        Sprite turnedPip = turnHalf(smallPip);
        stamp(face, art, turnedRank, width - rankX - rankGlyph.width, height - rankY - rankGlyph.height, ink);
        stamp(face, art, turnedPip, width - pipX - smallPip.width, height - pipY - smallPip.height, ink);
    } else {
        // Lying sideways the card is read from one side only, so the second corner
        // stays upright too.
        const int shiftX = width - 2 * cornerX - cornerWidth;
        const int shiftY = height - 2 * rankY - (pipY + smallPip.height - rankY);
        stamp(face, art, rankGlyph, rankX + shiftX, rankY + shiftY, ink);
        stamp(face, art, smallPip, pipX + shiftX, pipY + shiftY, ink);
    }
    stamp(face, art, largePip, (width - largePip.width) / 2, (height - largePip.height) / 2, ink);
    return face;
}

// A blue-grey chequer over the paper only, so the rank and pips keep their ink.
Canvas veiled(const Art& art, const Canvas& face)
{
    Canvas veiledFace = face;
    std::uint8_t paper = art.colour("paper");
    std::uint8_t veil = art.colour("veil");
    for (int y = 0; y < face.height; ++y)
        for (int x = 0; x < face.width; ++x)
            if ((x + y) % 2 == 0 && face.at(x, y) == paper)
                veiledFace.set(x, y, veil);
    return veiledFace;
}

Canvas cardBack(const Art& art)
{
    Canvas back = blankCard(art, art.colour("back-border"));
    roundedRect(back, 3, 3, cardWidth - 6, cardHeight - 6, 1, art.colour("back"));
    return back;
}

void addCards(const Art& art, std::vector<Picture>& pictures)
{
    for (int suit = 1; suit <= suitCount; ++suit)
        for (int rank = firstRank; rank < firstRank + rankCount; ++rank) {
            Canvas face = cardFace(art, suit, rank, Orientation::upright);
            Canvas side = cardFace(art, suit, rank, Orientation::sideways);
            pictures.push_back({uprightFaceId(suit, rank), face});
            pictures.push_back({sideFaceId(suit, rank), side});
            pictures.push_back({SelectedUprightIds[suit - 1][rank - firstRank], veiled(art, face)});
            pictures.push_back({SelectedSideIds[suit - 1][rank - firstRank], veiled(art, side)});
        }
    Canvas back = cardBack(art);
    pictures.push_back({backUprightId, back});
    pictures.push_back({backSideId, turnClockwise(back)});
}

}  // namespace generator
