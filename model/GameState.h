// The one record of the game. It lives for the whole process, starts
// zero-filled and is touched only by the user-interface thread.
#pragma once

#include "model/CardRecord.h"

#include <cstdint>

using Seat = std::int32_t;  // 1 south (human), 2 west, 3 north, 4 east; 5 = the table in evaluations
using HandValue = double;   // 7..11, 15..21, 24..31, 30.5 or 91.5; always compared exactly

constexpr Seat seatSouth = 1;
constexpr Seat seatWest = 2;
constexpr Seat seatNorth = 3;
constexpr Seat seatEast = 4;
constexpr Seat seatTable = 5;
constexpr int seatCount = 4;
constexpr int cardsPerHand = 3;
constexpr int deckSize = 32;

struct GameState {
    // Cards. Hand and table positions 0..2 follow the order of their controls.
    CardRecord Deck[deckSize];                     // shuffled deck; dealing never changes it
    CardRecord hands[5][cardsPerHand];             // by seat 1..4; entry 0 unused
    CardRecord TableCards[cardsPerHand];           // the open cards, controls 11111..11113
    CardRecord tableBeforeExchange[cardsPerHand];  // copy taken during an exchange

    // Round and game. Booleans are 8-bit 0/1.
    std::int32_t currentSeat;  // seat to move, 1..4
    std::int32_t dealerSeat;   // 0 until the first dealer draw
    std::uint8_t gameRunning;
    std::uint8_t dealerChoicePending;  // the dealer still has to keep or exchange
    std::uint8_t firstTurnOfRound;     // no computer seat has moved yet; the human gets no Stop
    std::uint8_t aiFirstTurn;          // copy of firstTurnOfRound handed to the computer decision
    std::uint8_t stopCalled;
    std::uint8_t roundClosing;  // 31 or three aces seen, a computer Stop, or all finished
    std::uint8_t threeAcesFlag;

    // Per seat, indexed by seat number 1..4; entry 0 exists and is never used.
    std::int16_t lives[5];          // 0..4; 0 = out of the game; only ever falls during a game
    HandValue handValue[5];         // 0.0 = not valued or out of the game
    std::int32_t finishedFlags[5];  // 0/1: no further turn this round
    std::int32_t passedFlags[5];    // 0/1: the seat passed this round (computer bookkeeping)
    std::int32_t passCount[5];      // nothing resets it: it counts across every game of the run
    std::int32_t roundWinners[5];   // 0/1: a best hand at the last settlement
    std::int32_t roundLosers[5];    // 0/1: loses a life at this settlement

    // Selections of the seat to move (hand) and of the table, positions 0..2, 32-bit 0/1.
    std::int32_t handSelected[3];
    std::int32_t tableSelected[3];

    // Computer analysis (hand positions 0..2), recorded by the turn engine before every decision.
    std::int32_t suitGroupCard;
    std::int32_t rankGroupCard;
};

extern GameState game;

// The record back to its zero-filled program-start form (tests and tools).
void zeroGameState();
