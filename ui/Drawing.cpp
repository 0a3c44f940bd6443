#include "ui/Drawing.h"

#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/ImageTables.h"

namespace {

// A picture of the program's data, looked up by id, for the draws of one
// call (nothing is loaded or released); each draw is one platform call.
class ImageView {
public:
    explicit ImageView(int imageId) : image(imageId == 0 ? nullptr : platform::loadImage(imageId)) {}
    explicit operator bool() const { return image != nullptr; }
    // Its top-left width x height pixels onto the window at (x, y).
    void draw(platform::Handle window, int x, int y, int width, int height) const
    {
        platform::drawImage(window, x, y, width, height, image, 0, 0);
    }
    void draw(platform::Handle window, int x, int y) const { draw(window, x, y, image->width, image->height); }

private:
    const platform::Image* image;
};

void copyImage(platform::Handle destinationWindow, int x, int y, int imageId)
{
    // No image (id 0): the spot keeps what it showed.
    if (const ImageView image{imageId})
        image.draw(destinationWindow, x, y);
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

void drawStopButton(ButtonLook look)
{
    drawImageOnControl(boardControls.stop, look == ButtonLook::pressed ? res::imageStopPressed : res::imageStopNormal);
}

void drawPassButton(ButtonLook look)
{
    drawImageOnControl(boardControls.pass, look == ButtonLook::pressed ? res::imagePassPressed : res::imagePassNormal);
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
    platform::playCue(kind == Indicator::stop ? platform::Cue::stop : platform::Cue::pass);
    pause(pauseBubble);
    drawImageAt(x, y, boardWindow, BubbleBlankImages[seat]);
}

void drawFocusFrame(int x, int y, int width, int height, platform::Handle boardWindow)
{
    const ImageView ink{res::imageFocusInk};
    if (!ink)
        return;
    const int outerWidth = width + 2;
    // Two rows thick above and below, where the board has room; one column at
    // the sides, where neighbouring cards leave only that.
    ink.draw(boardWindow, x - 1, y - 2, outerWidth, 2);
    ink.draw(boardWindow, x - 1, y + height, outerWidth, 2);
    ink.draw(boardWindow, x - 1, y, 1, height);
    ink.draw(boardWindow, x + width, y, 1, height);
}
