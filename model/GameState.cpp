#include "model/GameState.h"

#include <cstring>

GameState game{};

void zeroGameState()
{
    std::memset(&game, 0, sizeof game);
}
