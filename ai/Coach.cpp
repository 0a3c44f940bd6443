#include "ai/Coach.h"

#include "ai/TableLevel.h"
#include "ai/TableMemory.h"

SeatView humanView()
{
    return viewOf(game, tableMemory, seatSouth, tableLevel() == TableLevel::classic);
}

ExpertAdvice humanAdvisedMove()
{
    const TimedDecision timed;
    return adviseMove(humanView(), SearchDepth::coach);
}

KeepAdvice humanAdvisedToKeep()
{
    const TimedDecision timed;
    return adviseKeep(humanView());
}
