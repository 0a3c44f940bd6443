// The settlement check that the simulator and the fuzzer run on every deal,
// computer move, settlement and game-over box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

// The rules of a settlement, checked with values computed here from the cards
// alone. Fed every deal, computer move, settlement and game-over box of a run;
// each call answers empty when the rules hold, else the rule that broke, the
// seats and the values.
class SettlementCheck {
public:
    std::string roundDealt();
    void computerMoved();
    std::string settled(bool scored);
    std::string gameOverBox(std::string_view text);

private:
    enum class Outcome { none, goesOn, humanLoses, humanWins };
    void noteThreeAces();

    std::int16_t livesAtDeal[5] = {};
    bool threeAcesHeld = false;  // some seat has held three aces this round
    Outcome expected = Outcome::none;
};

}  // namespace sim
