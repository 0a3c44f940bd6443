// The soundness check: the deck, the lives, the cards in play and what the
// board offers while the game waits for the human.
#include "tools/SoundnessCheck.h"

#include "model/GameState.h"
#include "resources/BoardIds.h"
#include "model/CardNames.h"
#include "ui/Controls.h"

#include <algorithm>
#include <array>

namespace sim {

namespace {

// Counts the distinct ids among at most 32 cards.
class DistinctCards {
public:
    void insert(int id)
    {
        if (count < ids.size() && std::find(ids.begin(), ids.begin() + count, id) == ids.begin() + count)
            ids[count++] = id;
    }
    int size() const { return static_cast<int>(count); }

private:
    std::array<int, 32> ids{};
    std::size_t count = 0;
};

}  // namespace

std::string soundnessProblem(const std::int16_t (&livesBefore)[5])
{
    // Checked after every input of every fuzz run: plain appends and no sets.
    std::string problem;
    // The deck stays zero-filled until the first "New" shuffles it.
    DistinctCards deck;
    bool shuffled = false;
    for (const CardRecord& card : game.Deck) {
        shuffled = shuffled || card.sideFace != 0;
        if (isDeckCard(card))
            deck.insert(card.sideFace);
    }
    if (shuffled && deck.size() != deckSize)
        problem += "the deck is not a permutation of the 32 cards; ";
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (game.lives[seat] < 0 || game.lives[seat] > 4)
            problem +=
                std::string("seat ") + std::to_string(seat) + " has " + std::to_string(game.lives[seat]) + " lives; ";
        else if (game.gameRunning && game.lives[seat] > livesBefore[seat])
            problem += std::string("the lives of seat ") + std::to_string(seat) + " rose during a game; ";
    }
    for (int position = 0; position < 3; ++position) {
        if ((game.handSelected[position] | game.tableSelected[position]) & ~1)
            problem += "a selection flag is neither 0 nor 1; ";
    }
    const bool buttonOffered = isControlShown(ids::controlStop) || isControlShown(ids::controlPass);
    if (!game.gameRunning) {
        if (buttonOffered)
            problem += "Stop or Pass is offered with no game running; ";
        return problem;
    }

    DistinctCards inPlay;
    int cards = 0;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (game.lives[seat] == 0)
            continue;
        for (const CardRecord& card : game.hands[seat]) {
            if (!isDeckCard(card))
                problem += std::string("seat ") + std::to_string(seat) + " holds a card that is no real card; ";
            inPlay.insert(card.sideFace);
            ++cards;
        }
    }
    for (const CardRecord& card : game.TableCards) {
        if (!isDeckCard(card))
            problem += "the table holds a card that is no real card; ";
        inPlay.insert(card.sideFace);
        ++cards;
    }
    if (inPlay.size() != cards)
        problem += "a card is in two places at once; ";
    if (game.currentSeat != seatSouth)
        problem += std::string("the game waits for input with seat ") + std::to_string(game.currentSeat) + " to move; ";
    if (game.lives[seatSouth] == 0)
        problem += "the game runs on with the human out of lives; ";
    if (game.finishedFlags[seatSouth])
        problem += "the game waits for a human who has finished the round; ";
    if (!buttonOffered)
        problem += "the human is to move but neither Stop nor Pass is offered; ";
    for (int position = 0; position < 3; ++position) {
        if (!isControlShown(ids::controlSouth1 + position) || !isControlShown(ids::controlTable1 + position))
            problem += "the human is to move with a hand or table card hidden; ";
    }
    return problem;
}

}  // namespace sim
