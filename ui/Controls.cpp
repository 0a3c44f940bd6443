#include "ui/Controls.h"

namespace {

// Which card controls show, in the order 11111..11125.
using CardVisibility = bool[ids::cardControlCount];

void showCards(const CardVisibility& visible)
{
    for (int index = 0; index < ids::cardControlCount; ++index)
        platform::showWindow(boardControls.cards[index], visible[index]);
}

void showEveryCard(bool visible)
{
    CardVisibility all;
    for (bool& each : all)
        each = visible;
    showCards(all);
}

}  // namespace

ControlHandles boardControls{};

platform::Handle controlHandle(int controlId)
{
    if (ids::isCardControl(controlId))
        return boardControls.cards[controlId - ids::controlTable1];
    if (controlId == ids::controlStop)
        return boardControls.stop;
    if (controlId == ids::controlPass)
        return boardControls.pass;
    return 0;
}

bool isControlShown(int controlId)
{
    const platform::Handle control = controlHandle(controlId);
    return control != 0 && platform::isWindowVisible(control);
}

void hideAllCards()
{
    showEveryCard(false);
}

void showAllCards()
{
    showEveryCard(true);
}

void showTableAndHumanCards()
{
    CardVisibility visible{};
    for (int id = ids::controlTable1; id <= ids::controlTable3; ++id)
        visible[id - ids::controlTable1] = true;
    for (int id = ids::controlSouth1; id < ids::controlSouth1 + 3; ++id)
        visible[id - ids::controlTable1] = true;
    showCards(visible);
}

void showCardControl(int controlId)
{
    platform::showWindow(controlHandle(controlId), true);
}

void offerButtons(Buttons buttons)
{
    const bool stop = buttons == Buttons::stopOnly || buttons == Buttons::stopAndPass;
    const bool pass = buttons == Buttons::passOnly || buttons == Buttons::stopAndPass;
    // Offered after none were, the buttons begin the human's turn; offered
    // again within it (a card picked or put back) they are no news.
    const bool turnBegins = (stop || pass) && !isControlShown(ids::controlStop) && !isControlShown(ids::controlPass);
    platform::showWindow(boardControls.stop, stop);
    platform::showWindow(boardControls.pass, pass);
    if (turnBegins)
        platform::playCue(platform::Cue::yourTurn);
}
