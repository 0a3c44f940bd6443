#include "ai/TableLevel.h"

#include "ai/Expert.h"

namespace {

// Below this a described dealer takes the next three cards.
constexpr HandValue keepThreshold = 15.0;

TableLevel level = TableLevel::classic;

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

ComputerDecider tableDecider()
{
    return level == TableLevel::expert ? chooseExpertMove : chooseComputerMove;
}

bool computerKeeps(const GameState& state, Seat seat, HandValue value)
{
    if (level == TableLevel::classic)
        return value >= keepThreshold;
    return adviseKeep(viewOf(state, tableMemory, seat, false)).keep;
}
