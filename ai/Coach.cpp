#include "ai/Coach.h"

#include "ai/TableLevel.h"
#include "ai/TableMemory.h"

ExpertAdvice humanAdvisedMove()
{
    const TimedDecision timed;
    return adviseMove(viewOf(game, tableMemory, seatSouth, tableLevel() == TableLevel::classic));
}

KeepAdvice humanAdvisedToKeep()
{
    const TimedDecision timed;
    return adviseKeep(viewOf(game, tableMemory, seatSouth, tableLevel() == TableLevel::classic));
}
