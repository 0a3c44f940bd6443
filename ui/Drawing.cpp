#include "ui/Drawing.h"

#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/ImageTables.h"

namespace {

// Images are loaded for one draw and released at once; only the background stays loaded.
void copyImage(platform::Handle destinationWindow, int x, int y, int imageId)
{
    if (imageId == 0)
        return;  // no image: the spot keeps what it showed
    const platform::Image* image = platform::loadImage(imageId);
    if (!image)
        return;
    const platform::Handle destination = platform::getDrawingSurface(destinationWindow);
    const platform::Handle offscreen = platform::createCompatibleSurface(destination);
    platform::selectImage(offscreen, image);
    platform::blockCopy(destination, x, y, image->width, image->height, offscreen, 0, 0);
    platform::releaseImage(image);
    platform::releaseSurface(destination);
    platform::releaseSurface(offscreen);
}

struct CardFaces {
    int plain;
    int selected;
};

CardFaces uprightFaces(const CardRecord& card)
{
    return {card.uprightFace, card.uprightFaceSelected};
}
CardFaces sideFaces(const CardRecord& card)
{
    return {card.sideFace, card.sideFaceSelected};
}

}  // namespace

void drawImageOnControl(platform::Handle control, int imageId)
{
    copyImage(control, 0, 0, imageId);
}

void drawImageAt(int x, int y, platform::Handle window, int imageId)
{
    copyImage(window, x, y, imageId);
}

void drawCardControl(int controlId)
{
    const GameState& state = game;  // drawing only reads the record
    if (!ids::isCardControl(controlId))
        return;
    int imageId = 0;
    if (controlId <= ids::controlTable3) {
        const int position = controlId - ids::controlTable1;
        const CardRecord& card = state.TableCards[position];
        imageId = state.tableSelected[position] != 0 ? card.uprightFaceSelected : card.uprightFace;
    } else {
        const Seat seat = (controlId - ids::controlSouth1) / 3 + 1;
        const int position = (controlId - ids::controlSouth1) % 3;
        const CardRecord& card = state.hands[seat][position];
        const bool upright = seat == seatSouth || seat == seatNorth;
        const CardFaces faces = upright ? uprightFaces(card) : sideFaces(card);
        // A seat's selection shows only during that seat's own turn.
        const bool selected = state.currentSeat == seat && state.handSelected[position] != 0;
        imageId = selected ? faces.selected : faces.plain;
    }
    drawImageOnControl(controlHandle(controlId), imageId);
}

void redrawAllCards()
{
    for (int id = ids::controlSouth1; id <= ids::controlLastCard; ++id)
        drawCardControl(id);
    for (int id = ids::controlTable1; id <= ids::controlTable3; ++id)
        drawCardControl(id);
}

void pause(int units)
{
    // Shows the screen, then waits without handling any message: taps made
    // meanwhile stay queued until the game returns to the message loop.
    platform::waitUnits(units);
}

void requestRepaint(platform::Handle boardWindow)
{
    platform::sendMessage(boardWindow, platform::Msg::eraseBackground, 0, 0);
}

void flashIndicator(Indicator kind, Seat seat, platform::Handle boardWindow)
{
    const int x = BubbleOriginX[seat];
    const int y = BubbleOriginY[seat];
    drawImageAt(x, y, boardWindow, BubbleCallImages[static_cast<int>(kind) * 5 + seat]);
    pause(pauseBubble);
    drawImageAt(x, y, boardWindow, BubbleBlankImages[seat]);
}

void drawFocusFrame(int x, int y, int width, int height, platform::Handle boardWindow)
{
    const platform::Image* ink = platform::loadImage(res::imageFocusInk);
    if (!ink)
        return;
    const platform::Handle destination = platform::getDrawingSurface(boardWindow);
    const platform::Handle offscreen = platform::createCompatibleSurface(destination);
    platform::selectImage(offscreen, ink);
    const int outerWidth = width + 2;
    // Two rows thick above and below, where the board has room; one column at
    // the sides, where neighbouring cards leave only that.
    platform::blockCopy(destination, x - 1, y - 2, outerWidth, 2, offscreen, 0, 0);
    platform::blockCopy(destination, x - 1, y + height, outerWidth, 2, offscreen, 0, 0);
    platform::blockCopy(destination, x - 1, y, 1, height, offscreen, 0, 0);
    platform::blockCopy(destination, x + width, y, 1, height, offscreen, 0, 0);
    platform::releaseImage(ink);
    platform::releaseSurface(destination);
    platform::releaseSurface(offscreen);
}
