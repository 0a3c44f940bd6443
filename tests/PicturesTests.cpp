// The generated pictures: ids and sizes, the palette, the background under
// the controls, card faces and their sideways and veiled versions, buttons
// and the icon. Pure data: no window is involved. Lives panels and bubbles
// are read where a player sees them, on the board (StartupTests and
// SettlementTests).
#include "model/CardCatalogue.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

using resources::Bitmap;
using resources::findBitmap;
using resources::paletteColor;

constexpr std::uint32_t tableGreen = 0x008000;
constexpr std::uint32_t paperWhite = 0xFFFFFF;

std::uint32_t colourAt(const Bitmap& bitmap, int x, int y)
{
    return paletteColor(bitmap.pixels[y * bitmap.width + x]);
}

const Bitmap& bitmap(int id)
{
    const Bitmap* found = findBitmap(id);
    if (!found) {
        ADD_FAILURE() << "no image " << id;
        static const std::uint8_t pixel = 0;
        static const Bitmap none{0, 1, 1, &pixel};
        return none;
    }
    return *found;
}

bool samePixels(const Bitmap& a, const Bitmap& b)
{
    return a.width == b.width && a.height == b.height && std::equal(a.pixels, a.pixels + a.width * a.height, b.pixels);
}

// The top edge becomes the right edge: pixel (x, y) goes to (height - 1 - y, x).
bool isClockwiseTurnOf(const Bitmap& turned, const Bitmap& upright)
{
    if (turned.width != upright.height || turned.height != upright.width)
        return false;
    for (int y = 0; y < upright.height; ++y)
        for (int x = 0; x < upright.width; ++x)
            if (turned.pixels[x * turned.width + (upright.height - 1 - y)] != upright.pixels[y * upright.width + x])
                return false;
    return true;
}

// The game's cards: the pictures must give every one of them its faces.
const CardRecord (&Cards)[32] = CardCatalogue;

// Top-left corners of the bubble spots: south, west, north, east.
constexpr int BubbleX[4] = {51, 50, 141, 161};
constexpr int BubbleY[4] = {161, 51, 50, 141};

struct Rect {
    int x, y, width, height;
};

// ---- The inventory -------------------------------------------------------

struct SizedRange {
    int first, last, width, height;
};

constexpr SizedRange Inventory[] = {
    {105, 105, 240, 268}, {261, 265, 43, 31}, {266, 270, 31, 43}, {273, 273, 29, 41}, {274, 274, 41, 29},
    {279, 282, 40, 20},   {283, 283, 41, 29}, {289, 319, 41, 29}, {320, 343, 29, 41}, {348, 355, 29, 41},
    {364, 364, 28, 47},   {365, 365, 47, 28}, {388, 408, 47, 28}, {409, 429, 28, 47}, {430, 450, 47, 28},
    {451, 471, 28, 47},   {472, 472, 47, 28}, {473, 473, 28, 47}, {474, 474, 47, 28}, {475, 475, 28, 47},
    {476, 476, 48, 48},
};

std::set<int> inventoryIds()
{
    std::set<int> ids;
    for (const SizedRange& range : Inventory)
        for (int id = range.first; id <= range.last; ++id)
            ids.insert(id);
    for (const CardRecord& card : Cards) {
        ids.insert(card.uprightFace);
        ids.insert(card.sideFace);
    }
    for (int id = 356; id <= 363; ++id)
        ids.insert(id);
    return ids;
}

TEST(Inventory, EveryIdHasItsSize)
{
    for (const SizedRange& range : Inventory)
        for (int id = range.first; id <= range.last; ++id) {
            const Bitmap& image = bitmap(id);
            EXPECT_EQ(image.width, range.width) << id;
            EXPECT_EQ(image.height, range.height) << id;
        }
    for (const CardRecord& card : Cards) {
        EXPECT_EQ(bitmap(card.uprightFace).width, 29) << card.uprightFace;
        EXPECT_EQ(bitmap(card.uprightFace).height, 41) << card.uprightFace;
        EXPECT_EQ(bitmap(card.sideFace).width, 41) << card.sideFace;
        EXPECT_EQ(bitmap(card.sideFace).height, 29) << card.sideFace;
    }
}

TEST(Inventory, HoldsNothingElseAndListsInRisingIdOrder)
{
    std::set<int> expected = inventoryIds();
    ASSERT_EQ(resources::bitmapCount(), static_cast<int>(expected.size()));
    int previous = 0;
    for (int i = 0; i < resources::bitmapCount(); ++i) {
        const Bitmap* image = resources::bitmapAt(i);
        ASSERT_NE(image, nullptr);
        EXPECT_GT(image->id, previous);
        EXPECT_TRUE(expected.count(image->id)) << image->id;
        EXPECT_EQ(findBitmap(image->id), image);
        previous = image->id;
    }
    EXPECT_EQ(resources::bitmapAt(-1), nullptr);
    EXPECT_EQ(resources::bitmapAt(resources::bitmapCount()), nullptr);
    for (int unknown : {0, 101, 104, 153, 271, 344, 366, 477})
        EXPECT_EQ(findBitmap(unknown), nullptr) << unknown;
}

TEST(Inventory, EveryPixelIndexesThePalette)
{
    int size = resources::paletteSize();
    ASSERT_GE(size, 2);
    ASSERT_LE(size, 256);
    for (int i = 0; i < resources::bitmapCount(); ++i) {
        const Bitmap* image = resources::bitmapAt(i);
        for (int p = 0; p < image->width * image->height; ++p)
            ASSERT_LT(image->pixels[p], size) << "image " << image->id << " pixel " << p;
    }
}

// ---- The board background ------------------------------------------------

constexpr Rect UprightCardPlaces[] = {
    {74, 98, 29, 41},   {104, 98, 29, 41}, {134, 98, 29, 41}, {60, 190, 29, 41}, {90, 190, 29, 41},
    {120, 190, 29, 41}, {90, 8, 29, 41},   {120, 8, 29, 41},  {150, 8, 29, 41},
};
constexpr Rect SideCardPlaces[] = {
    {8, 60, 41, 29}, {8, 90, 41, 29}, {8, 120, 41, 29}, {190, 90, 41, 29}, {190, 120, 41, 29}, {190, 150, 41, 29},
};

bool backgroundShows(const Bitmap& image, int x, int y)
{
    const Bitmap& board = bitmap(res::imageBackground);
    for (int row = 0; row < image.height; ++row)
        for (int column = 0; column < image.width; ++column)
            if (board.pixels[(y + row) * board.width + x + column] != image.pixels[row * image.width + column])
                return false;
    return true;
}

TEST(Background, TableGreenIsExactlyRedZeroGreen128BlueZero)
{
    const Bitmap& board = bitmap(res::imageBackground);
    EXPECT_EQ(colourAt(board, 0, 0), tableGreen);
    EXPECT_EQ(colourAt(board, 239, 267), tableGreen);
    for (int id : {res::imageBlankSide, res::imageBlankUpright}) {
        const Bitmap& blank = bitmap(id);
        for (int y = 0; y < blank.height; ++y)
            for (int x = 0; x < blank.width; ++x)
                ASSERT_EQ(colourAt(blank, x, y), tableGreen) << id << " at " << x << "," << y;
    }
}

TEST(Background, ShowsACardBackUnderEveryCardControl)
{
    for (Rect place : UprightCardPlaces)
        EXPECT_TRUE(backgroundShows(bitmap(res::imageBackUpright), place.x, place.y)) << place.x << "," << place.y;
    for (Rect place : SideCardPlaces)
        EXPECT_TRUE(backgroundShows(bitmap(res::imageBackSide), place.x, place.y)) << place.x << "," << place.y;
}

TEST(Background, ShowsTheEmptyPanelUnderEveryLivesDisplay)
{
    EXPECT_TRUE(backgroundShows(bitmap(res::imageLivesUpright0), 150, 189));
    EXPECT_TRUE(backgroundShows(bitmap(res::imageLivesSide0), 7, 150));
    EXPECT_TRUE(backgroundShows(bitmap(res::imageLivesUpright0), 58, 7));
    EXPECT_TRUE(backgroundShows(bitmap(res::imageLivesSide0), 189, 58));
}

TEST(Background, ButtonPlacesAndBubbleSpotsArePlainGreen)
{
    const Bitmap& board = bitmap(res::imageBackground);
    std::vector<Rect> plain = {{60, 167, 40, 20}, {141, 167, 40, 20}};
    for (int seat = 0; seat < 4; ++seat)
        plain.push_back({BubbleX[seat], BubbleY[seat], seat % 2 ? 28 : 47, seat % 2 ? 47 : 28});
    for (Rect rect : plain)
        for (int y = rect.y; y < rect.y + rect.height; ++y)
            for (int x = rect.x; x < rect.x + rect.width; ++x)
                ASSERT_EQ(colourAt(board, x, y), tableGreen) << "at " << x << "," << y;
}

// ---- Cards ---------------------------------------------------------------

TEST(Cards, SidewaysBackIsTheUprightOneTurnedClockwise)
{
    EXPECT_TRUE(isClockwiseTurnOf(bitmap(res::imageBackSide), bitmap(res::imageBackUpright)));
}

// Where a card's rank and small pip sit: the top-left corner, as wide as the widest rank.
constexpr Rect CornerIndex{2, 2, 7, 15};

bool sameArea(const Bitmap& a, int ax, int ay, const Bitmap& b, int bx, int by, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (a.pixels[(ay + y) * a.width + ax + x] != b.pixels[(by + y) * b.width + bx + x])
                return false;
    return true;
}

// A sideways card is read from the south: both of its corners show the rank
// and pip exactly as the upright card's top-left corner does, never turned.
TEST(Cards, SidewaysFacesShowBothCornersUpright)
{
    for (const CardRecord& card : Cards) {
        const Bitmap& upright = bitmap(card.uprightFace);
        const Bitmap& side = bitmap(card.sideFace);
        ASSERT_EQ(side.width, 41);
        ASSERT_EQ(side.height, 29);
        const Rect c = CornerIndex;
        EXPECT_TRUE(sameArea(side, c.x, c.y, upright, c.x, c.y, c.width, c.height)) << card.sideFace;
        EXPECT_TRUE(sameArea(side, side.width - c.x - c.width, side.height - c.y - c.height, upright, c.x, c.y, c.width,
                             c.height))
            << card.sideFace;
    }
}

// Ink of the rank glyph alone (the corner's top seven rows), whatever its colour.
std::vector<bool> rankInk(const Bitmap& face)
{
    std::vector<bool> ink;
    for (int y = CornerIndex.y; y < CornerIndex.y + 7; ++y)
        for (int x = CornerIndex.x; x < CornerIndex.x + CornerIndex.width; ++x)
            ink.push_back(colourAt(face, x, y) != paperWhite);
    return ink;
}

TEST(Cards, EveryRankOfTheSidewaysPicturesHasAGlyphOfItsOwn)
{
    // Cards run ace, 7, 8, 9, 10, jack, queen, king within each suit.
    for (int a = 0; a < 32; ++a)
        for (int b = 0; b < 32; ++b) {
            if (a % 8 == b % 8)
                continue;
            EXPECT_NE(rankInk(bitmap(Cards[a].sideFace)), rankInk(bitmap(Cards[b].sideFace)))
                << Cards[a].sideFace << " and " << Cards[b].sideFace;
        }
}

TEST(Cards, SelectedSidewaysFaceIsTheSidewaysFaceUnderTheVeil)
{
    for (const CardRecord& card : Cards) {
        const Bitmap& plain = bitmap(card.sideFace);
        const Bitmap& selected = bitmap(card.sideFaceSelected);
        ASSERT_EQ(selected.width, plain.width);
        ASSERT_EQ(selected.height, plain.height);
        int veiled = 0;
        for (int y = 0; y < plain.height; ++y)
            for (int x = 0; x < plain.width; ++x) {
                if (colourAt(plain, x, y) == colourAt(selected, x, y))
                    continue;
                ++veiled;
                EXPECT_EQ(colourAt(plain, x, y), paperWhite)
                    << card.sideFaceSelected << " covers ink at " << x << "," << y;
            }
        EXPECT_GT(veiled, 100) << card.sideFaceSelected;
    }
}

TEST(Cards, EveryFaceIsDifferent)
{
    for (int a = 0; a < 32; ++a)
        for (int b = a + 1; b < 32; ++b)
            EXPECT_FALSE(samePixels(bitmap(Cards[a].uprightFace), bitmap(Cards[b].uprightFace)))
                << Cards[a].uprightFace << " and " << Cards[b].uprightFace;
}

// The veil only ever covers paper, so ranks and pips keep every pixel; this
// also ties each selected id to the right card.
TEST(Cards, SelectedFaceIsItsCardUnderAVeilOfOneColour)
{
    for (const CardRecord& card : Cards) {
        const Bitmap& plain = bitmap(card.uprightFace);
        const Bitmap& selected = bitmap(card.uprightFaceSelected);
        ASSERT_EQ(selected.width, plain.width);
        ASSERT_EQ(selected.height, plain.height);
        std::set<std::uint32_t> veil;
        int veiled = 0, paper = 0;
        for (int y = 0; y < plain.height; ++y)
            for (int x = 0; x < plain.width; ++x) {
                paper += colourAt(plain, x, y) == paperWhite;
                if (plain.pixels[y * plain.width + x] == selected.pixels[y * plain.width + x])
                    continue;
                ++veiled;
                EXPECT_EQ(colourAt(plain, x, y), paperWhite)
                    << card.uprightFaceSelected << " covers ink at " << x << "," << y;
                veil.insert(colourAt(selected, x, y));
            }
        EXPECT_EQ(veil.size(), 1u) << card.uprightFaceSelected;
        EXPECT_GT(veiled, paper / 3) << card.uprightFaceSelected;
        EXPECT_NE(*veil.begin(), paperWhite);
    }
}

// Ink is whatever is neither paper, edge nor table: red for hearts and diamonds, dark for clubs and spades.
TEST(Cards, RedSuitsAreRedAndBlackSuitsDark)
{
    for (const CardRecord& card : Cards) {
        const Bitmap& face = bitmap(card.uprightFace);
        std::uint32_t centre = colourAt(face, face.width / 2, face.height / 2);  // inside the large pip
        int red = static_cast<int>(centre >> 16), green = static_cast<int>((centre >> 8) & 0xFF),
            blue = static_cast<int>(centre & 0xFF);
        if (card.suit == 2 || card.suit == 3) {
            EXPECT_GT(red, 150) << card.uprightFace;
            EXPECT_LT(green + blue, 120) << card.uprightFace;
        } else {
            EXPECT_LT(red + green + blue, 150) << card.uprightFace;
        }
    }
}

TEST(Cards, CornersShowTheTable)
{
    for (int id : {int{Cards[0].uprightFace}, int{Cards[0].uprightFaceSelected}, res::imageBackUpright}) {
        const Bitmap& card = bitmap(id);
        EXPECT_EQ(colourAt(card, 0, 0), tableGreen) << id;
        EXPECT_EQ(colourAt(card, card.width - 1, card.height - 1), tableGreen) << id;
        EXPECT_NE(colourAt(card, card.width / 2, 0), tableGreen) << id;
    }
}

// ---- Buttons -------------------------------------------------------------

int brightness(std::uint32_t colour)
{
    return static_cast<int>((colour >> 16) + ((colour >> 8) & 0xFF) + (colour & 0xFF));
}

TEST(Buttons, RaisedButtonsAreLitTopLeftAndPressedOnesBottomRight)
{
    for (int id : {res::imageStopNormal, res::imagePassNormal}) {
        const Bitmap& button = bitmap(id);
        EXPECT_GT(brightness(colourAt(button, 0, 0)), brightness(colourAt(button, 39, 19))) << id;
    }
    for (int id : {res::imageStopPressed, res::imagePassPressed}) {
        const Bitmap& button = bitmap(id);
        EXPECT_LT(brightness(colourAt(button, 0, 0)), brightness(colourAt(button, 39, 19))) << id;
    }
    EXPECT_FALSE(samePixels(bitmap(res::imageStopNormal), bitmap(res::imagePassNormal)));
    EXPECT_FALSE(samePixels(bitmap(res::imageStopPressed), bitmap(res::imagePassPressed)));
}

// ---- Icon ----------------------------------------------------------------

TEST(Icon, IsDrawnAtEveryMenuSizeWithAtMostSixteenColours)
{
    const std::vector<int> sizes = {16, 32, 48, 64, 128, 256};
    ASSERT_EQ(resources::iconCount(), static_cast<int>(sizes.size()));
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int size = sizes[i];
        const Bitmap* icon = resources::findIcon(res::iconProgram, size);
        ASSERT_NE(icon, nullptr) << size;
        EXPECT_EQ(icon, resources::iconAt(static_cast<int>(i)));
        EXPECT_EQ(icon->width, size);
        EXPECT_EQ(icon->height, size);
        std::set<std::uint8_t> colours(icon->pixels, icon->pixels + size * size);
        EXPECT_LE(colours.size(), 16u) << size;
        EXPECT_GE(colours.size(), 4u) << size;
    }
    EXPECT_EQ(resources::findIcon(res::iconProgram, 24), nullptr);
    EXPECT_EQ(resources::findIcon(res::imageBackground, 32), nullptr);
}

// The cards stand on nothing: the corners are clear, the middle of the front
// card (its large heart) is solid red, and the clear part is a real share.
TEST(Icon, BackgroundIsClearAndTheCardsAreSolid)
{
    const std::uint32_t inkRed = 0xD01010;
    for (int i = 0; i < resources::iconCount(); ++i) {
        const Bitmap& icon = *resources::iconAt(i);
        const int last = icon.width - 1;
        for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
            EXPECT_EQ(icon.pixels[y * icon.width + x], resources::clearIndex())
                << icon.width << " at " << x << "," << y;
        EXPECT_EQ(colourAt(icon, icon.width * 21 / 32, icon.width * 17 / 32), inkRed) << icon.width;
        const auto clear = std::count(icon.pixels, icon.pixels + icon.width * icon.width, resources::clearIndex());
        EXPECT_GT(clear, icon.width * icon.width / 4) << icon.width;
        EXPECT_LT(clear, icon.width * icon.width / 2) << icon.width;
    }
}

// Only the icon may be clear: a clear pixel on the board would show whatever
// was drawn there before.
TEST(Icon, NoBoardPictureUsesTheClearColour)
{
    for (int i = 0; i < resources::bitmapCount(); ++i) {
        const Bitmap& picture = *resources::bitmapAt(i);
        EXPECT_EQ(std::count(picture.pixels, picture.pixels + picture.width * picture.height, resources::clearIndex()),
                  0)
            << picture.id;
    }
}

}  // namespace
