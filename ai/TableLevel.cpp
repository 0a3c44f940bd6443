#include "ai/TableLevel.h"

#include "ai/Expert.h"

namespace {

// Below this a described dealer takes the next three cards.
constexpr HandValue keepThreshold = 15.0;

TableLevel level = TableLevel::classic;
DecisionTimer timer;

void startTiming()
{
    if (timer.started)
        timer.started();
}

void endTiming()
{
    if (timer.ended)
        timer.ended();
}

ComputerMove timedExpertMove(const GameState& state, Seat seat, const HandShape& shape)
{
    startTiming();
    const ComputerMove move = chooseExpertMove(state, seat, shape);
    endTiming();
    return move;
}

}  // namespace

void setTableLevel(TableLevel chosen)
{
    level = chosen;
}

TableLevel tableLevel()
{
    return level;
}

const char* tableLevelName(TableLevel named)
{
    return named == TableLevel::expert ? "expert" : "classic";
}

std::optional<TableLevel> tableLevelNamed(std::string_view name)
{
    if (name == "classic")
        return TableLevel::classic;
    if (name == "expert")
        return TableLevel::expert;
    return std::nullopt;
}

TimedDecision::TimedDecision()
{
    startTiming();
}

TimedDecision::~TimedDecision()
{
    endTiming();
}

void setDecisionTimer(DecisionTimer chosen)
{
    timer = chosen;
}

ComputerDecider tableDecider()
{
    if (level == TableLevel::classic)
        return chooseComputerMove;
    return timer.started ? timedExpertMove : chooseExpertMove;
}

bool computerKeeps(const GameState& state, Seat seat, HandValue value)
{
    if (level == TableLevel::classic)
        return value >= keepThreshold;
    startTiming();
    const bool keep = adviseKeep(viewOf(state, tableMemory, seat, false)).keep;
    endTiming();
    return keep;
}
