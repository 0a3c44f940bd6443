#include "ai/Coach.h"

#include "ai/TableLevel.h"
#include "ai/TableMemory.h"

ExpertAdvice humanAdvisedMove()
{
    return adviseMove(viewOf(game, tableMemory, seatSouth, tableLevel() == TableLevel::classic));
}

KeepAdvice humanAdvisedToKeep()
{
    return adviseKeep(viewOf(game, tableMemory, seatSouth, tableLevel() == TableLevel::classic));
}
