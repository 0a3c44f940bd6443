// What a seat does on its turn, as the codes the game reports it by.
#pragma once

#include <cstdint>

enum class Move : std::int32_t {
    none = 0,  // no move: the seat is asked again
    pass = 20001,
    stop = 20002,
    exchangeOne = 20003,
    exchangeAll = 20004,
};
