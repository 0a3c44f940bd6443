#include "ui/Controls.h"

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

int showCardControls(const int (&flags)[15])
{
    for (int index = 0; index < ids::cardControlCount; ++index)
        platform::showWindow(boardControls.cards[index], flags[index] != 0);
    return 1;
}

int showCardControls(int flag)
{
    int flags[15];
    for (int& each : flags)
        each = flag;
    return showCardControls(flags);
}

int showStopPass(int stopFlag, int passFlag)
{
    platform::showWindow(boardControls.stop, stopFlag != 0);
    platform::showWindow(boardControls.pass, passFlag != 0);
    return 1;
}

void showCardControl(int controlId)
{
    platform::showWindow(controlHandle(controlId), true);
}
