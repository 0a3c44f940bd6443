#include "app/KeyboardFocus.h"

#include "app/BoardControls.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"

#include <cstdlib>

namespace {

// Tab order: the human's cards, the table, then the buttons.
constexpr int FocusOrder[] = {
    ids::controlSouth1, ids::controlSouth1 + 1, ids::controlSouth1 + 2, ids::controlTable1,
    ids::controlTable2, ids::controlTable3,     ids::controlStop,       ids::controlPass,
};
constexpr int focusOrderCount = static_cast<int>(sizeof FocusOrder / sizeof FocusOrder[0]);

struct FocusState {
    int remembered = ids::controlSouth1;
    bool frameShown = false;
    int alsoFramed[2] = {};  // controls framed with the focused one, as a hint's whole table
};
FocusState focus;

bool canTakeFocus(int controlId)
{
    return isControlShown(controlId);
}

const ControlPlace& placeOf(int controlId)
{
    for (const ControlPlace& place : BoardControlPlaces)
        if (place.id == controlId)
            return place;
    return BoardControlPlaces[0];
}

int orderIndex(int controlId)
{
    for (int i = 0; i < focusOrderCount; ++i)
        if (FocusOrder[i] == controlId)
            return i;
    return 0;
}

int stepInOrder(int from, int step)
{
    int index = orderIndex(from);
    for (int tries = 0; tries < focusOrderCount; ++tries) {
        index = (index + step + focusOrderCount) % focusOrderCount;
        if (canTakeFocus(FocusOrder[index]))
            return FocusOrder[index];
    }
    return from;
}

// The nearest control whose centre lies in the direction of the arrow; a
// sideways offset counts double, so a move stays in its row or column when it
// can.
int nearestInDirection(int from, int dx, int dy)
{
    const ControlPlace& origin = placeOf(from);
    const int originX = 2 * origin.x + origin.width;  // doubled centres stay whole
    const int originY = 2 * origin.y + origin.height;
    int best = from;
    int bestScore = 0;
    for (int id : FocusOrder) {
        if (id == from || !canTakeFocus(id))
            continue;
        const ControlPlace& place = placeOf(id);
        const int x = 2 * place.x + place.width - originX;
        const int y = 2 * place.y + place.height - originY;
        const int along = x * dx + y * dy;
        if (along <= 0)
            continue;
        const bool sameRow = place.y < origin.y + origin.height && origin.y < place.y + place.height;
        if (dx != 0 && !sameRow)
            continue;
        const int score = along + 2 * std::abs(dx != 0 ? y : x);
        if (best == from || score < bestScore) {
            best = id;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

int focusedControl()
{
    if (canTakeFocus(focus.remembered))
        return focus.remembered;
    for (int id : FocusOrder)
        if (canTakeFocus(id))
            return id;
    return 0;
}

bool isFocusFrameShown()
{
    return focus.frameShown;
}

bool showFocusFrame(platform::Handle boardWindow)
{
    const int id = focusedControl();
    if (id == 0)
        return false;
    focus.remembered = id;
    if (!focus.frameShown) {
        focus.frameShown = true;
        requestRepaint(boardWindow);
    }
    return true;
}

bool focusOnControl(int controlId, platform::Handle boardWindow)
{
    if (!canTakeFocus(controlId))
        return false;
    focus.remembered = controlId;
    focus.frameShown = true;
    focus.alsoFramed[0] = focus.alsoFramed[1] = 0;
    requestRepaint(boardWindow);
    return true;
}

void frameAlso(std::initializer_list<int> controls, platform::Handle boardWindow)
{
    int kept = 0;
    for (const int controlId : controls) {
        if (kept < 2 && canTakeFocus(controlId))
            focus.alsoFramed[kept++] = controlId;
    }
    requestRepaint(boardWindow);
}

bool moveFocus(FocusMove move, platform::Handle boardWindow)
{
    const int from = focusedControl();
    if (from == 0)
        return false;
    int to = from;
    switch (move) {
    case FocusMove::left:
        to = nearestInDirection(from, -1, 0);
        break;
    case FocusMove::right:
        to = nearestInDirection(from, 1, 0);
        break;
    case FocusMove::up:
        to = nearestInDirection(from, 0, -1);
        break;
    case FocusMove::down:
        to = nearestInDirection(from, 0, 1);
        break;
    case FocusMove::next:
        to = stepInOrder(from, 1);
        break;
    case FocusMove::previous:
        to = stepInOrder(from, -1);
        break;
    }
    focus.remembered = to;
    focus.frameShown = true;
    focus.alsoFramed[0] = focus.alsoFramed[1] = 0;
    requestRepaint(boardWindow);
    return true;
}

void hideFocusFrame(platform::Handle boardWindow)
{
    if (!focus.frameShown)
        return;
    focus.frameShown = false;
    focus.alsoFramed[0] = focus.alsoFramed[1] = 0;
    requestRepaint(boardWindow);
}

void paintFocusFrame(platform::Handle boardWindow)
{
    const int id = focus.frameShown ? focusedControl() : 0;
    if (id == 0)
        return;
    const ControlPlace& place = placeOf(id);
    drawFocusFrame(place.x, place.y, place.width, place.height, boardWindow);
    for (const int also : focus.alsoFramed) {
        if (also != 0 && also != id && canTakeFocus(also)) {
            const ControlPlace& other = placeOf(also);
            drawFocusFrame(other.x, other.y, other.width, other.height, boardWindow);
        }
    }
}

void resetKeyboardFocus()
{
    focus = FocusState{};
}
