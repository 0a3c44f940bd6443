// The worlds a seat cannot tell apart, and the rest of a round played out in
// one of them. A world is a game record whose hidden cards are drawn to agree
// with a seat's view; the play-out runs the game's own turn rules on it: the
// described player for the other computer seats, a plain model of a
// reasonable player for the human, and the same model for the seat's own
// later turns.
#pragma once

#include "ai/SeatView.h"
#include "model/Move.h"

#include <cstdint>

// Deterministic draws from a seed, alike on every compiler.
class Draws {
public:
    explicit Draws(std::uint32_t seed) : state_(seed ^ 0x9e3779b9u) {}
    std::uint32_t next();
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint32_t>(bound)); }

private:
    std::uint32_t state_;
};

// A move as a seat plans it: what, and for one card which hand and table positions.
struct PlannedMove {
    Move move = Move::pass;
    int handCard = 0;
    int tableCard = 0;
};

// The deck card of a bit of a CardSet.
[[nodiscard]] const CardRecord& cardOfBit(int bit);

// A world in mid-round that agrees with the view. False when the draw
// contradicts what the seat has seen (a hidden 31 that would have closed
// the round); draw again.
bool drawWorld(const SeatView& view, Draws& draws, GameState& world);
// A world at the start of the round the view's seat deals, before its
// choice: its own three kept, or three new ones for `exchange`.
void drawDealtWorld(const SeatView& view, Draws& draws, bool exchange, GameState& world);

// Whether the seat may Pass or say Stop now: the human by the buttons it is
// offered, a computer seat by its turn's rules.
[[nodiscard]] bool mayPass(const GameState& world, Seat seat);
[[nodiscard]] bool mayStop(const GameState& world, Seat seat);

// The plain model: the better of the whole table and the best single card
// when either beats the hand, else Stop from `stopFrom` where allowed, else Pass.
[[nodiscard]] PlannedMove plainMove(const GameState& world, Seat seat);

// Carries out a planned move of `seat` (the current seat) by the game's rules.
void makeMove(GameState& world, Seat seat, const PlannedMove& planned);

// How a played-out round ended for a seat: whether it lost a life, and the
// cost to its side (the human alone, or the three computer seats, which win
// together when the human is out): each life its side lost against those of
// the other side, a human's life counting three, as a computer seat's
// lives are a third of the table's.
struct PlayOutEnd {
    bool lost = false;
    int sideCost = 0;
};

// Plays the round to its end for `self`. The other
// computer seats play as the described player when `classicSeats`, else
// by the plain model.
PlayOutEnd playOutRound(GameState& world, Seat self, bool classicSeats);
