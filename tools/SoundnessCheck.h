// The soundness check: what must hold of the game record and the board
// after every input, whatever the player did.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

// Empty when the game record is sound after an input, else what is wrong.
// `livesBefore` holds the lives after the previous input of the same game
// (all 4 right after "New").
std::string soundnessProblem(const std::int16_t (&livesBefore)[5]);

}  // namespace sim
