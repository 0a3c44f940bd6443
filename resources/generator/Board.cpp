// Lives panels, the Stop and Pass buttons, and the board background.
#include "Inventory.h"
#include "Pictures.h"

namespace generator {

namespace {

constexpr int panelWidth = 31;
constexpr int panelHeight = 43;

// A lives panel holds four places in two rows of two, one per life: a coin
// while the life lasts, an empty hollow once it is lost. Four separate round
// coins can be counted at a glance, and turned a quarter they are still two
// rows of two. Top-left corners of the places, filled in this order.
constexpr int PlaceX[4] = {3, 17, 3, 17};
constexpr int PlaceY[4] = {8, 8, 24, 24};

// Grey tray with a sunken edge.
Canvas emptyPanel(const Art& art)
{
    Canvas panel(panelWidth, panelHeight, art.colour("panel-edge"));
    panel.fillRect(1, 1, panelWidth - 2, panelHeight - 2, art.colour("panel-light"));
    panel.fillRect(1, 1, panelWidth - 3, panelHeight - 3, art.colour("panel-shadow"));
    panel.fillRect(2, 2, panelWidth - 4, panelHeight - 4, art.colour("panel"));
    return panel;
}

Canvas button(const Art& art, std::string_view word, bool pressed)
{
    constexpr int width = 40;
    constexpr int height = 20;
    std::uint8_t light = art.colour("button-light");
    std::uint8_t dark = art.colour("button-edge");
    std::uint8_t shade = art.colour("button-shadow");
    std::uint8_t face = art.colour("button-face");

    Canvas canvas(width, height, pressed ? light : dark);
    canvas.fillRect(0, 0, width - 1, height - 1, pressed ? dark : light);
    canvas.fillRect(1, 1, width - 2, height - 2, pressed ? face : shade);
    canvas.fillRect(1, 1, width - 3, height - 3, pressed ? shade : face);
    canvas.fillRect(2, 2, width - 4, height - 4, face);

    Sprite text = textLine(art, word);
    int shift = pressed ? 1 : 0;  // a pressed face moves with the finger
    stamp(canvas, art, text, (width - text.width) / 2 + shift, (height - fontCapHeight) / 2 + shift,
          art.colour("ink-black"));
    return canvas;
}

struct Rect {
    int x, y;
};

// Top-left corners of the card controls: the table and south and north hold
// upright cards, west and east sideways ones.
constexpr Rect UprightCardPlaces[] = {
    {74, 98}, {104, 98}, {134, 98}, {60, 190}, {90, 190}, {120, 190}, {90, 8}, {120, 8}, {150, 8},
};
constexpr Rect SideCardPlaces[] = {
    {8, 60}, {8, 90}, {8, 120}, {190, 90}, {190, 120}, {190, 150},
};
constexpr Rect UprightLivesPlaces[] = {{150, 189}, {58, 7}};  // south, north
constexpr Rect SideLivesPlaces[] = {{7, 150}, {189, 58}};     // west, east

}  // namespace

Canvas livesPanel(const Art& art, int lives)
{
    Canvas panel = emptyPanel(art);
    for (int place = 0; place < 4; ++place)
        stamp(panel, art, art.sprite(place < lives ? "coin" : "coin-socket"), PlaceX[place], PlaceY[place]);
    return panel;
}

void addPanelsAndButtons(const Art& art, std::vector<Picture>& pictures)
{
    for (int lives = 0; lives <= 4; ++lives) {
        Canvas panel = livesPanel(art, lives);
        pictures.push_back({LivesUprightIds[static_cast<std::size_t>(lives)], panel});
        pictures.push_back({LivesSideIds[static_cast<std::size_t>(lives)], turnClockwise(panel)});
    }
    pictures.push_back({stopNormalId, button(art, "Stop", false)});
    pictures.push_back({passNormalId, button(art, "Pass", false)});
    pictures.push_back({stopPressedId, button(art, "Stop", true)});
    pictures.push_back({passPressedId, button(art, "Pass", true)});
    pictures.push_back({focusInkId, Canvas(48, 48, art.colour("focus"))});
}

// The table, with a face-down card at every card place and an empty panel
// under every lives display: a hidden card control shows as a back.
Canvas background(const Art& art)
{
    Canvas board(240, 268, art.colour("table"));
    Canvas back = cardBack(art);
    Canvas sideBack = turnClockwise(back);
    Canvas panel = livesPanel(art, 0);
    Canvas sidePanel = turnClockwise(panel);
    for (Rect place : UprightCardPlaces)
        board.paste(back, place.x, place.y);
    for (Rect place : SideCardPlaces)
        board.paste(sideBack, place.x, place.y);
    for (Rect place : UprightLivesPlaces)
        board.paste(panel, place.x, place.y);
    for (Rect place : SideLivesPlaces)
        board.paste(sidePanel, place.x, place.y);
    return board;
}

}  // namespace generator
