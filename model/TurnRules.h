// The rules of a turn as changes to a game record: the exchange, the human's
// Stop and Pass, and who loses when the round ends. The turn engine runs them
// on the game with the screen's steps in between; the expert's play-outs run
// the same functions on copies, with no screen.
#pragma once

#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/Move.h"

#include <cstdint>

// What the screen does between a move's steps. Every hook may be null, as
// in a play-out, where nothing is shown or watched.
struct TurnScreen {
    void* context = nullptr;
    void (*cardsMoved)(void* context) = nullptr;                    // an exchange has moved cards
    void (*called)(void* context, Move move, Seat seat) = nullptr;  // a Stop or Pass to show
    void (*thinking)(void* context, Move move) = nullptr;           // a computer seat has decided
    const GameWatcher* watcher = nullptr;
};

[[nodiscard]] bool allSeatsFinished(const GameState& state);

// Carries out the exchange the selections describe, if they describe one:
// all three table (or hand) cards for the whole hand, else the highest
// selected hand and table card. Returns whether cards changed places.
bool exchangeSelectedCards(GameState& state, Seat seat, const TurnScreen& screen);

// The human's Stop: the Stop is called and this is the human's last turn.
void humanSaysStop(GameState& state);
// The human's Pass: after a Stop it is the human's last turn.
void humanPasses(GameState& state);
// The end of the human's Stop or Pass: its hand valued, the turn handed on.
void endHumanCall(GameState& state);

// What the comparison of the four hands found.
enum class RoundOutcome : std::int32_t { losersFound = 1, allHandsEqual = 4 };

// Marks roundWinners and roundLosers.
RoundOutcome findRoundLosers(GameState& state = game);
