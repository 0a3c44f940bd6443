#include "model/GameEvents.h"

GameWatcher gameWatcher{};
