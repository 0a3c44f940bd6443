#include "model/GameState.h"

#include "model/GameEvents.h"

#include <cstring>

GameState game{};
GameWatcher gameWatcher{};

void zeroGameState()
{
    std::memset(&game, 0, sizeof game);
}
