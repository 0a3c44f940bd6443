#include "ai/ComputerTurn.h"

#include "model/Deck.h"
#include "model/HandEvaluation.h"
#include "model/TurnOrder.h"

HandShape prepareComputerDecision(GameState& state, Seat seat)
{
    const HandShape shape{suitGroups(state, seat), rankGroups(state, seat)};
    state.suitGroupCard = shape.suit.card;
    state.rankGroupCard = shape.rank.card;
    clearSelections(state);
    // Recorded before deciding: a hand of 31 or three aces closes the round, which the decision reads.
    if (seat >= seatWest && seat <= seatEast)
        evaluateHand(seat, state);
    return shape;
}

void applyComputerDecision(GameState& state, Seat seat, const ComputerMove& decision)
{
    state.passedFlags[seat] = decision.after.passed;
    state.passCount[seat] = decision.after.passCount;
    state.finishedFlags[seat] = decision.after.finished;
    state.stopCalled = decision.after.stopCalled;
    state.roundClosing = decision.after.roundClosing;
    // The cards of an exchange are left selected, as a human's taps would.
    if (decision.move == Move::exchangeAll) {
        for (std::int32_t& selected : state.tableSelected)
            selected = 1;
    } else if (decision.move == Move::exchangeOne) {
        state.handSelected[decision.handCard] = 1;
        state.tableSelected[decision.tableCard] = 1;
    }
}

Move decideComputerMove(GameState& state, Seat seat, ComputerDecider decide, const TurnScreen& screen)
{
    const HandShape shape = prepareComputerDecision(state, seat);
    if (seat < seatWest || seat > seatEast)
        return Move::none;
    const ComputerMove decision = decide(state, seat, shape);
    applyComputerDecision(state, seat, decision);
    if (screen.thinking)
        screen.thinking(screen.context, decision.move);
    return decision.move;
}

Move playComputerTurn(GameState& state, Seat seat, ComputerDecider decide, const TurnScreen& screen)
{
    state.aiFirstTurn = state.firstTurnOfRound ? 1 : 0;
    const Move move = decideComputerMove(state, seat, decide, screen);
    carryOutComputerMove(state, seat, move, screen);
    return move;
}

void carryOutComputerMove(GameState& state, Seat seat, Move move, const TurnScreen& screen)
{
    switch (move) {
    case Move::exchangeOne:
    case Move::exchangeAll:
        exchangeSelectedCards(state, state.currentSeat, screen);
        clearSelections(state);
        break;
    case Move::stop:
        state.finishedFlags[seat] = 1;
        if (screen.called)
            screen.called(screen.context, Move::stop, seat);
        state.stopCalled = 1;
        state.currentSeat = nextLiveSeat(state.currentSeat, state);
        break;
    case Move::pass:
        state.passedFlags[seat] = 1;
        if (screen.called)
            screen.called(screen.context, Move::pass, seat);
        state.passCount[seat] += 1;
        state.currentSeat = nextLiveSeat(state.currentSeat, state);
        break;
    case Move::none:
        break;  // no change: the same seat is asked again
    }
    state.firstTurnOfRound = 0;
    if (screen.watcher && screen.watcher->computerMoved)
        screen.watcher->computerMoved(seat, move);
}

DecisionBookkeeping bookkeepingOf(const GameState& state, Seat seat, Move move)
{
    DecisionBookkeeping after{state.passedFlags[seat], state.passCount[seat], state.finishedFlags[seat],
                              state.stopCalled, state.roundClosing};
    if (move == Move::stop) {
        after.stopCalled = 1;
        after.roundClosing = 1;
    }
    if (after.stopCalled)
        after.finished = 1;
    return after;
}
