#include "model/TurnRules.h"

#include "model/Deck.h"
#include "model/HandEvaluation.h"
#include "model/TurnOrder.h"

namespace {

constexpr HandValue lowestSearchStart = 99.0;  // above every hand value

void finishAllSeats(GameState& state)
{
    for (Seat seat = 1; seat <= seatCount; ++seat)
        state.finishedFlags[seat] = 1;
}

bool allSet(const std::int32_t (&flags)[3])
{
    return flags[0] == 1 && flags[1] == 1 && flags[2] == 1;
}

int highestSelected(const std::int32_t (&flags)[3])
{
    for (int position = 2; position >= 0; --position) {
        if (flags[position] == 1)
            return position;
    }
    return -1;
}

void afterExchange(GameState& state, Seat seat)
{
    clearSelections(state);
    evaluateHand(state.currentSeat, state);
    if (seat == seatSouth && state.stopCalled)
        state.finishedFlags[seatSouth] = 1;  // an exchange after a Stop is the human's last turn
    state.currentSeat = nextLiveSeat(state.currentSeat, state);
}

void reportExchange(const TurnScreen& screen, Seat seat, int handPosition, int tablePosition)
{
    if (screen.watcher && screen.watcher->exchanged)
        screen.watcher->exchanged(seat, handPosition, tablePosition);
}

bool inPlayWithValue(const GameState& state, Seat seat)
{
    return state.lives[seat] > 0 && state.handValue[seat] > 0.0;
}

}  // namespace

bool allSeatsFinished(const GameState& state)
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (state.finishedFlags[seat] == 0)
            return false;
    }
    return true;
}

bool exchangeSelectedCards(GameState& state, Seat seat, const TurnScreen& screen)
{
    bool exchanged = false;
    if (allSet(state.tableSelected) || allSet(state.handSelected)) {
        for (int position = 0; position < cardsPerHand; ++position)
            state.tableBeforeExchange[position] = state.TableCards[position];
        for (int position = 0; position < cardsPerHand; ++position) {
            state.TableCards[position] = state.hands[seat][position];
            state.hands[seat][position] = state.tableBeforeExchange[position];
        }
        reportExchange(screen, seat, -1, -1);
        afterExchange(state, seat);
        exchanged = true;
    }
    const int hand = highestSelected(state.handSelected);
    const int table = highestSelected(state.tableSelected);
    if (hand >= 0 && table >= 0) {
        state.tableBeforeExchange[table] = state.TableCards[table];
        state.TableCards[table] = state.hands[seat][hand];
        state.hands[seat][hand] = state.tableBeforeExchange[table];
        reportExchange(screen, seat, hand, table);
        afterExchange(state, seat);
        exchanged = true;
    }
    if (screen.cardsMoved)
        screen.cardsMoved(screen.context);
    if (!exchanged)
        return false;
    // The mover, not the new current seat: 31 or three aces ends the round for everyone.
    const Evaluation code = evaluateHandCode(seat, state);
    if (code == Evaluation::threeAces) {
        finishAllSeats(state);
        state.threeAcesFlag = 1;
    } else if (code == Evaluation::thirtyOne) {
        finishAllSeats(state);
    }
    return true;
}

void humanSaysStop(GameState& state)
{
    state.stopCalled = 1;
    state.finishedFlags[seatSouth] = 1;
}

void humanPasses(GameState& state)
{
    if (state.stopCalled)
        state.finishedFlags[state.currentSeat] = 1;  // a Pass after a Stop is the human's last turn
}

void endHumanCall(GameState& state)
{
    evaluateHand(state.currentSeat, state);
    clearSelections(state);
    state.currentSeat = nextLiveSeat(state.currentSeat, state);
}

RoundOutcome findRoundLosers(GameState& state)
{
    // Some seat always holds the highest value, so losers are always found.
    RoundOutcome result = RoundOutcome::losersFound;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        state.roundWinners[seat] = 0;
        state.roundLosers[seat] = 0;
    }
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        bool best = true;
        for (Seat other = 1; other <= seatCount; ++other) {
            if (other != seat && state.handValue[seat] < state.handValue[other])
                best = false;
        }
        if (best) {
            state.roundWinners[seat] = 1;
        }
    }
    const HandValue* value = state.handValue;
    if (value[1] == value[2] && value[2] == value[3] && value[3] == value[4])
        result = RoundOutcome::allHandsEqual;
    if (result != RoundOutcome::allHandsEqual) {
        HandValue lowest = lowestSearchStart;
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (inPlayWithValue(state, seat) && state.handValue[seat] <= lowest)
                lowest = state.handValue[seat];
        }
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (inPlayWithValue(state, seat) && state.handValue[seat] <= lowest)
                state.roundLosers[seat] = 1;
        }
    }
    // Three aces: everyone without a best hand loses.
    if (state.threeAcesFlag) {
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (!state.roundWinners[seat])
                state.roundLosers[seat] = 1;
        }
    }
    return result;
}
