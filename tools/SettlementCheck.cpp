// The settlement check: values by the rules, who loses a life, when the game ends.
#include "tools/SettlementCheck.h"

#include "model/GameState.h"
#include "tools/TraceJson.h"

#include <algorithm>
#include <sstream>

namespace sim {

namespace {

// A hand's value as the rules state it, apart from the game's own evaluation:
// three of a rank 30.5 (aces 91.5), else the best suit's points, else the highest card.
double valueByTheRules(const CardRecord (&hand)[3])
{
    int points[3];
    for (int i = 0; i < 3; ++i)
        points[i] = hand[i].rank == 14 ? 11 : std::min<int>(hand[i].rank, 10);
    if (hand[0].rank == hand[1].rank && hand[1].rank == hand[2].rank)
        return hand[0].rank == 14 ? 91.5 : 30.5;
    int best = std::max({points[0], points[1], points[2]});
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (hand[i].suit == hand[j].suit) {
                const int k = 3 - i - j;
                best = hand[k].suit == hand[i].suit ? points[0] + points[1] + points[2] : points[i] + points[j];
            }
        }
    }
    return best;
}

std::string seatsText(const bool (&seats)[5])
{
    std::string text;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (seats[seat])
            text += (text.empty() ? "" : ", ") + std::to_string(seat);
    }
    return text.empty() ? "none" : text;
}

std::string valuesText(const double (&values)[5])
{
    std::ostringstream out;
    for (Seat seat = 1; seat <= seatCount; ++seat)
        out << (seat > 1 ? ", " : "") << values[seat];
    return out.str();
}

}  // namespace

std::string SettlementCheck::roundDealt()
{
    std::string problem;
    if (expected == Outcome::humanLoses || expected == Outcome::humanWins)
        problem = "rule 'the game ends when the human or all three computer seats are out': a round was dealt "
                  "with lives " +
                  std::to_string(game.lives[1]) + ", " + std::to_string(game.lives[2]) + ", " +
                  std::to_string(game.lives[3]) + ", " + std::to_string(game.lives[4]) + "; ";
    std::copy(std::begin(game.lives), std::end(game.lives), livesAtDeal);
    threeAcesHeld = false;
    expected = Outcome::none;
    noteThreeAces();
    return problem;
}

void SettlementCheck::computerMoved()
{
    noteThreeAces();
}

// Every hand a seat holds is valued as it is dealt or exchanged, so three aces
// seen at a deal, a computer move or the settlement are the three aces the round had.
void SettlementCheck::noteThreeAces()
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (livesAtDeal[seat] > 0 && valueByTheRules(game.hands[seat]) == 91.5)
            threeAcesHeld = true;
    }
}

std::string SettlementCheck::settled(bool scored)
{
    noteThreeAces();
    std::string problem;
    double values[5] = {};
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        values[seat] = livesAtDeal[seat] > 0 ? valueByTheRules(game.hands[seat]) : 0.0;
        if (game.handValue[seat] != values[seat]) {
            std::ostringstream out;
            out << "rule 'a seat's recorded value is the value of its three cards': seat " << seat << " holds "
                << cardsJson(game.hands[seat], 3) << " worth " << values[seat] << ", recorded " << game.handValue[seat]
                << "; ";
            problem += out.str();
        }
    }
    if ((game.threeAcesFlag != 0) != threeAcesHeld)
        problem += std::string("rule 'three aces change who loses': three aces were ") +
                   (threeAcesHeld ? "held" : "not held") + " this round, the game's flag is " +
                   std::to_string(int{game.threeAcesFlag}) + "; ";

    const bool allEqual = values[1] == values[2] && values[2] == values[3] && values[3] == values[4];
    bool losers[5] = {};
    if (!allEqual) {
        double lowest = 99.0;
        double best = 0.0;
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            best = std::max(best, values[seat]);
            if (livesAtDeal[seat] > 0)
                lowest = std::min(lowest, values[seat]);
        }
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            const bool lowestHand = values[seat] == lowest;
            const bool beatenAfterThreeAces = threeAcesHeld && values[seat] < best;
            losers[seat] = livesAtDeal[seat] > 0 && (lowestHand || beatenAfterThreeAces);
        }
    }
    const std::string rule = allEqual        ? "rule 'four equal hands are dealt again and nobody loses'"
                             : threeAcesHeld ? "rule 'after three aces every seat without the best hand loses'"
                                             : "rule 'the lowest live hands lose, ties all lose'";
    if (scored == allEqual)
        problem += rule + ": values " + valuesText(values) + (scored ? " were scored" : " were dealt again") + "; ";
    bool lost[5] = {};
    bool wrongLives = false;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        lost[seat] = game.lives[seat] != livesAtDeal[seat];
        wrongLives = wrongLives || game.lives[seat] != livesAtDeal[seat] - (losers[seat] ? 1 : 0);
    }
    if (wrongLives)
        problem += rule + ": values " + valuesText(values) + ", seats losing a life should be " + seatsText(losers) +
                   ", the game took a life from " + seatsText(lost) + "; ";

    if (!scored)
        expected = Outcome::goesOn;
    else if (game.lives[seatSouth] == 0)
        expected = Outcome::humanLoses;
    else if (game.lives[seatWest] == 0 && game.lives[seatNorth] == 0 && game.lives[seatEast] == 0)
        expected = Outcome::humanWins;
    else
        expected = Outcome::goesOn;
    return problem;
}

std::string SettlementCheck::gameOverBox(std::string_view text)
{
    const Outcome was = expected;
    expected = Outcome::none;
    if (was == Outcome::humanLoses && text == "You Lose...")
        return "";
    if (was == Outcome::humanWins && text == "You Win...")
        return "";
    return "rule 'the game ends when the human or all three computer seats are out': \"" + std::string(text) +
           "\" with lives " + std::to_string(game.lives[1]) + ", " + std::to_string(game.lives[2]) + ", " +
           std::to_string(game.lives[3]) + ", " + std::to_string(game.lives[4]) + "; ";
}

}  // namespace sim
